#pragma once

#include "platform/web_fetch.h"
#include "service/figure_source.h"

// Fetch options of the sources that read web pages and APIs: the settings' time-outs, a
// browser's user agent, the desk's stop flag.
WebFetchOptions SourceFetchOptions(const SourceContext& context);
