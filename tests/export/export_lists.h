// The lists the export tests write: small named fixtures, each showing one trait of the formats.
#pragma once

#include "collect/charset.h"
#include "export/list_view_exporter.h"
#include "export/memory_list.h"

#include <string>
#include <vector>

namespace corvelle::testing {

inline exporting::MemoryList makeList(std::vector<std::string> titles,
                                      std::vector<std::vector<std::string>> rows)
{
    return exporting::MemoryList(std::move(titles), std::move(rows),
                                 std::string(exporting::kResultsListKind));
}

inline std::string gbk(const char* utf8)
{
    return collect::utf8ToGbk(utf8);
}

// The titles and cell texts of the results list: code, name, price, ratio, count.
inline std::vector<std::string> resultsTitles()
{
    return {gbk("股票代码"), gbk("股票名称"), gbk("股票价格"), gbk("持仓比例"), gbk("出现次数")};
}

inline std::vector<std::vector<std::string>> resultsRows()
{
    return {
        {"600519", gbk("贵州茅台"), "1800.5", "12.75", "3"},
        {"000858", gbk("五粮液"), "151.2", "8.4", "2"},
        {"00700", gbk("腾讯控股"), "0", "4.1", "1"},
    };
}

inline exporting::MemoryList exampleList()
{
    return makeList({"t1", "t2"}, {{"a", "b"}, {"c", "d"}});
}

inline exporting::MemoryList resultsList()
{
    return makeList(resultsTitles(), resultsRows());
}

inline exporting::MemoryList emptyCellsList()
{
    return makeList({"x", "y", "z"}, {{"", "", ""}, {"1", "", "3"}, {"", "", ""}});
}

inline exporting::MemoryList leadingBlankList()
{
    return makeList({"code", "name", "blanks"}, {{" 600519", gbk("茅台 "), "  "}});
}

// 1500 bytes each: ASCII, and 750 two-byte characters whose 512th straddles the 1023-byte cap.
inline std::string longAsciiCell()
{
    return std::string(1500, 'x');
}
inline std::string longGbkCell()
{
    const std::string character = gbk("茅");
    std::string cell;
    for (int i = 0; i < 750; ++i)
        cell += character;
    return cell;
}

inline exporting::MemoryList longCellList()
{
    return makeList({"ascii", "gbk"}, {{longAsciiCell(), longGbkCell()}});
}

inline exporting::MemoryList markupList()
{
    return makeList({gbk("<名称>"), "A&B"}, {{"<a&b>", "AT&amp;T"}, {"</td></tr>", ">"}});
}

}  // namespace corvelle::testing
