// The merge that folds the holdings of all analysed funds into one record per stock name, and the text
// that lists the funds behind a merged record.
#include "collect/holding_record.h"

#include "collect/number_text.h"
#include "view/cell_texts.h"

#include <cstddef>

namespace corvelle::collect {

void mergeHoldings(RecordList& holdings, RecordList& table)
{
    const std::size_t count = holdings.size();
    if (count >= 2) {
        // Every later record with the same name folds into the first one that carries it; an emptied
        // name marks a record as folded, so it neither folds others nor survives.
        for (std::size_t i = 0; i < count; ++i) {
            const std::string name = holdings[i].name;
            if (name.empty())
                continue;
            for (std::size_t j = i + 1; j < count; ++j) {
                if (holdings[j].name != name)
                    continue;
                holdings[j].name.clear();
                holdings[i].ratio =
                    toFloat(static_cast<double>(holdings[i].ratio) + static_cast<double>(holdings[j].ratio));
                ++holdings[i].repeatCount;
                std::vector<FundShare>& sources = holdings[i].sources;
                sources.insert(sources.end(), holdings[j].sources.begin(), holdings[j].sources.end());
            }
        }
        std::erase_if(holdings, [](const HoldingRecord& record) { return record.name.empty(); });
    }
    // The table is replaced as a whole by its own copy, so later changes to holdings never reach it.
    RecordList copy = holdings;
    table.swap(copy);
}

std::string contributingFundsText(const HoldingRecord& record)
{
    std::string text;
    for (const FundShare& share : record.sources) {
        if (!text.empty())
            text += '\n';
        text += share.fundCode;
        text += ' ';
        text += view::floatToText(share.ratio);
        text += '%';
    }
    return text;
}

}  // namespace corvelle::collect
