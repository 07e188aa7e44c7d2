#pragma once
#include <string>

// The program's name and version, as the window, the exporter and the page
// all show them.
extern const char kAppName[];
extern const char kAppVersion[];
// The server's name for itself, before "/" and the version in every answer:
// the page knows its host draws pictures by it.
extern const char kServerProduct[];

// "zimbelplot ver 1.2": the About box's first line, all the page's About says.
std::string AboutTitle();
// The title, a tab and VNR: what the About box says and what
// zimbelplot-export --version prints.
std::string AboutText();
