// The forest units of the demo installation: the three projects with tables, the rest of
// the regional offices' catalogue, and the settings file that opens the first project.
#pragma once

#include "demo/DemoProject.h"

#include <string>
#include <vector>

namespace dx::demo {

struct CatalogueLine {
    std::string activ, direkcia, vid, bgname, godina, tabl, zemnom;
};

// The projects that get tables; the first one is the default project with `records`
// sub-compartments, the others hold fewer.
std::vector<ProjectSpec> demoProjects(int records);

// Every catalogue line, the projects with tables among the others.
std::vector<CatalogueLine> catalogue(const std::vector<ProjectSpec> &projects);

void writeCatalogue(const std::string &path, const std::vector<CatalogueLine> &lines);
void writeSettings(const std::string &path, const ProjectSpec &current);

} // namespace dx::demo
