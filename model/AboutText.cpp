#include "model/AboutText.h"

const char kAppName[] = "zimbelplot";
const char kAppVersion[] = "1.2";
const char kServerProduct[] = "zimbelplot-serve";

std::string AboutTitle() { return std::string(kAppName) + " ver " + kAppVersion; }

std::string AboutText() { return AboutTitle() + "\tVNR"; }
