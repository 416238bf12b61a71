// Where the window's documentation links lead. A link text (tc_mainweb, tc_web) holds an
// address with a scheme ("https://...") or a file relative to the program folder, such as
// the documentation the package installs beside it ("../doc/vantor/README.md").
#pragma once

#include <QUrl>
#include <string>

namespace vantor {

// The address `target` leads to from `programDir` (with its trailing '/'); empty, and the
// link is not shown, for an empty target or a file that is not there (a program run from
// its build folder has no installed documentation).
QUrl DocumentationUrl(const std::string& programDir, const std::string& target);

}  // namespace vantor
