#include "model/AboutText.h"

const char kAppName[] = "zimbelplot";
const char kAppVersion[] = "1.2";

std::string AboutText() { return std::string(kAppName) + " ver " + kAppVersion + "\tVNR"; }
