#pragma once

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "service/figure_source.h"

// The sources of the service and the kinds each answers. A kind without a route answers -1.
struct FigureRoutes {
    std::vector<std::unique_ptr<FigureSource>> sources;
    std::map<std::string, FigureSource*, std::less<>> byKind;

    // Adds a source that answers the given kinds.
    void Add(std::unique_ptr<FigureSource> source, std::initializer_list<const char*> kinds);
};

FigureRoutes StandardFigureRoutes(const SourceContext& context);
