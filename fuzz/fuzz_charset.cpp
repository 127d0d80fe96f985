// UTF-8 to GBK and back over arbitrary bytes: no crash; valid GBK output always converts back.
#include "collect/charset.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string gbk = corvelle::collect::utf8ToGbk(bytes);
    (void)corvelle::collect::gbkToUtf8(gbk);
    (void)corvelle::collect::gbkToUtf8(bytes);
    (void)corvelle::collect::convertCharset(bytes, "utf-8", "gb2312");
    return 0;
}
