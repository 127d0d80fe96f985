// Where the About window's three links lead, and the blog link's caption: changed here and nowhere else.
#pragma once

#include <string_view>

namespace corvelle::app {

// Until Corvelle has a web home, the links open the program's own pages, which ship with it under docs/
// and so work offline. A link is either an http(s) address, opened as it is, or a path relative to the
// folder that holds docs/: the executable's folder first (the build copies the pages beside the
// program), else the source tree the program was built from. aboutLinkAddress (about_window.h) turns it
// into the file address the browser is given.
inline constexpr std::string_view kDonateLink = "docs/about-donate.html";
inline constexpr std::string_view kBlogLink = "docs/about-blog.html";
inline constexpr std::string_view kUpdatesLink = "docs/about-updates.html";

// The blog link's caption (UTF-8); the other two captions, "捐助" and "软件更新", are fixed by the layout.
inline constexpr std::string_view kBlogCaption = "作者博客";

}  // namespace corvelle::app
