#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small readers of HTML pages (already converted to UTF-8). Comments are skipped; script
// and style contents are never read as markup.

// Decodes character references: numeric ones and the common named ones.
std::string DecodeEntities(std::string_view text);

// Runs of ASCII white space become one space, none at either end, as a browser's
// document.title does; other control characters are dropped. No-break and ideographic spaces
// stay: CJK titles use them.
std::string CollapseBlanks(std::string_view text);

// The decoded, collapsed text of the first <title> element; nullopt when there is none.
std::optional<std::string> FirstTitle(std::string_view html);

// The decoded href of every <a> and <area> element, in page order.
std::vector<std::string> LinkTargets(std::string_view html);

// The page's text without tags and comments, references decoded (script text included).
std::string StripTags(std::string_view html);

// The value of attribute `name` (lower case) in the attribute part of a tag, undecoded.
std::optional<std::string> TagAttribute(std::string_view attributes, std::string_view name);
