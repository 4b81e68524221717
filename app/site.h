// The product's web site and its pages.
#pragma once
#include <string>

namespace site {
inline const std::string kBaseAddress = "http://www.tolvik.example";
inline const std::string kHomePage = kBaseAddress + "/hivara/hivadoc.htm";
inline const std::string kHelpPage = kBaseAddress + "/hivara/hivadoc_help.htm";
inline const std::string kUpdatePage = kBaseAddress + "/hivara/updatev21.htm";
inline const std::string kTranslationPage = kBaseAddress + "/hivara/translate.htm";
}  // namespace site

namespace product {
inline const std::string kTitle = "Tolvik Hivara";
inline const std::string kVersion = "2.1";
inline const std::string kMainWindowClass = "Tolvik Hivara Made by Tolvik Software";
}  // namespace product
