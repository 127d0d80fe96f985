// Character-set conversion through iconv. The program's texts are GBK (code page 936).
#pragma once

#include <string>
#include <string_view>

namespace corvelle::collect {

// Converts bytes from one charset to another. "gb2312" as a target is widened to "GBK", since GB2312
// lacks characters found in stock names. Characters the target cannot hold and invalid input bytes
// become "?"; a UTF-8 byte-order mark at the start is dropped. Unknown charsets give the empty text.
[[nodiscard]] std::string convertCharset(std::string_view bytes, std::string_view sourceCharset,
                                         std::string_view targetCharset);

// The two directions the program uses.
[[nodiscard]] std::string utf8ToGbk(std::string_view utf8);
[[nodiscard]] std::string gbkToUtf8(std::string_view gbk);

}  // namespace corvelle::collect
