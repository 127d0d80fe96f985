// FundScraper: fetches a fund's page, cuts out its top-ten holdings, prices each row, notes each fund's
// facts (name, as-of date, outcome), merges the rows.
#include "collect/fund_scraper.h"

#include "collect/charset.h"
#include "collect/number_text.h"
#include "collect/text_rules.h"
#include "collect/web_address.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

namespace corvelle::collect {

namespace {

constexpr int kMaxRowsPerFund = 10;
constexpr std::string_view kQuotePath =
    "/api/qt/stock/get?ut=3e9b0c71d2a84f56b1e07c9d4a2f6e83&fltt=2&fields=f43,f57,f58&secid=";

// The two markers around a fund page's holdings table, in GBK.
struct SectionMarkers {
    std::string start;  // the percentage column heading
    std::string end;    // the as-of date line under the table
};

const SectionMarkers& sectionMarkers()
{
    static const SectionMarkers markers{utf8ToGbk("持仓占比"), utf8ToGbk("持仓截止日期:")};
    return markers;
}

constexpr std::size_t kMaxDateBytes = 64;
constexpr std::size_t kMaxNameBytes = 256;

// Full-width punctuation that titles and date lines use, in GBK.
struct PagePunctuation {
    std::string ideographicSpace;  // "　"
    std::string openBracket;       // "（"
    std::string closeBracket;      // "）"
    std::string emDash;            // "—"
    std::string fullWidthBar;      // "｜"
};

const PagePunctuation& pagePunctuation()
{
    static const PagePunctuation punctuation{utf8ToGbk("　"), utf8ToGbk("（"), utf8ToGbk("）"),
                                             utf8ToGbk("—"), utf8ToGbk("｜")};
    return punctuation;
}

// Bytes taken by the character that starts at index: two for a GBK lead byte followed by another byte.
std::size_t characterLength(std::string_view text, std::size_t index)
{
    return isLeadByte(static_cast<unsigned char>(text[index])) && index + 1 < text.size() ? 2 : 1;
}

// Length of the blank (ASCII white space or the ideographic space) that starts at index, 0 for none.
std::size_t blankLength(std::string_view text, std::size_t index)
{
    switch (text[index]) {
    case ' ':
    case '\t':
    case '\r':
    case '\n':
    case '\f':
    case '\v':
        return 1;
    default:
        break;
    }
    const std::string& wide = pagePunctuation().ideographicSpace;
    return text.substr(index, wide.size()) == wide ? wide.size() : 0;
}

// The text without leading and trailing blanks, walked character by character so that the second byte
// of a character is never taken for a blank.
std::string trimBlanks(std::string_view text)
{
    std::size_t first = text.size();
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t blank = blankLength(text, at);
        const std::size_t length = blank > 0 ? blank : characterLength(text, at);
        if (blank == 0) {
            first = std::min(first, at);
            end = at + length;
        }
        at += length;
    }
    return first < end ? std::string(text.substr(first, end - first)) : std::string();
}

// The text cut to at most limit bytes, never in the middle of a character.
std::string_view cutToLength(std::string_view text, std::size_t limit)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t length = characterLength(text, end);
        if (end + length > limit)
            break;
        end += length;
    }
    return text.substr(0, end);
}

char asciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Index of the first needle (ASCII, lower case) at or after from that starts on a character boundary,
// letters compared without case; npos when none. from must itself be a character boundary, so a search
// can go on where the last one stopped without walking the text again from its start.
std::size_t findAsciiNoCase(std::string_view text, std::string_view needle, std::size_t from)
{
    for (std::size_t at = from; at + needle.size() <= text.size(); at += characterLength(text, at)) {
        bool same = true;
        for (std::size_t k = 0; k < needle.size() && same; ++k)
            same = asciiLower(text[at + k]) == needle[k];
        if (same)
            return at;
    }
    return std::string_view::npos;
}

// The text between <title ...> and </title>, or nothing when the page has no title element.
std::optional<std::string_view> titleText(std::string_view page)
{
    // Every index handed to findAsciiNoCase below follows an ASCII byte of a match, so it is a boundary.
    std::size_t open = 0;
    for (;;) {
        open = findAsciiNoCase(page, "<title", open);
        if (open == std::string_view::npos)
            return std::nullopt;
        const std::size_t after = open + 6;
        // "<title>" or "<title lang=...>", never "<titlebar>".
        if (after < page.size() && (page[after] == '>' || blankLength(page, after) == 1))
            break;
        open = after;
    }
    const std::size_t contentStart = page.find('>', open);
    if (contentStart == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = findAsciiNoCase(page, "</title", contentStart + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return page.substr(contentStart + 1, close - contentStart - 1);
}

bool isAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isAsciiAlnum(char c)
{
    return isAsciiDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The market number and code of a link whose last segment reads "<1-3 digits>.<letters and digits>",
// the form current fund pages use ("//quote.host/unify/r/1.600519"). Nothing for any other link, so
// links ending in ".html" and the like keep the older rules.
struct MarketCode {
    std::string market;
    std::string code;
};

std::optional<MarketCode> unifiedMarketCode(std::string_view link)
{
    const std::size_t slash = link.rfind('/');
    if (slash == std::string_view::npos)
        return std::nullopt;
    const std::string_view segment = link.substr(slash + 1);
    const std::size_t dot = segment.find('.');
    if (dot == std::string_view::npos || dot < 1 || dot > 3)
        return std::nullopt;
    const std::string_view market = segment.substr(0, dot);
    const std::string_view code = segment.substr(dot + 1);
    if (code.empty())
        return std::nullopt;
    for (char c : market)
        if (!isAsciiDigit(c))
            return std::nullopt;
    for (char c : code)
        if (!isAsciiAlnum(c))
            return std::nullopt;
    return MarketCode{std::string(market), std::string(code)};
}

// True when "(" + six digits + ")" (or the same in full-width brackets), a fund code, starts at index.
bool startsBracketedCode(std::string_view text, std::size_t index)
{
    constexpr std::size_t kCodeDigits = 6;
    const PagePunctuation& punctuation = pagePunctuation();
    const auto digitsThenClose = [&](std::size_t digitsAt, std::string_view close) {
        if (digitsAt + kCodeDigits > text.size())
            return false;
        for (std::size_t k = 0; k < kCodeDigits; ++k)
            if (!isAsciiDigit(text[digitsAt + k]))
                return false;
        return text.substr(digitsAt + kCodeDigits).starts_with(close);
    };
    const std::string_view rest = text.substr(index);
    if (rest.starts_with('('))
        return digitsThenClose(index + 1, ")");
    if (rest.starts_with(punctuation.openBracket))
        return digitsThenClose(index + punctuation.openBracket.size(), punctuation.closeBracket);
    return false;
}

// True when a site suffix starts at index: "_", "|", "｜", "—" or " - ".
bool startsSuffix(std::string_view text, std::size_t index)
{
    const PagePunctuation& punctuation = pagePunctuation();
    const std::string_view rest = text.substr(index);
    return rest.front() == '_' || rest.front() == '|' || rest.starts_with(" - ") ||
           rest.starts_with(punctuation.fullWidthBar) || rest.starts_with(punctuation.emDash);
}

}  // namespace

std::string asOfDateOfPage(std::string_view page)
{
    const std::string& marker = sectionMarkers().end;
    const int position = findText(page, marker);
    if (position == -1)
        return {};
    const std::size_t start = static_cast<std::size_t>(position) - 1 + marker.size();
    std::size_t end = start;
    // '<', CR and LF are below every second byte of a GBK character, so a plain byte test cannot split one.
    while (end < page.size() && page[end] != '<' && page[end] != '\r' && page[end] != '\n')
        ++end;
    return std::string(cutToLength(trimBlanks(page.substr(start, end - start)), kMaxDateBytes));
}

std::string fundNameOfPage(std::string_view page)
{
    const std::optional<std::string_view> title = titleText(page);
    if (!title)
        return {};
    const std::string trimmed = trimBlanks(*title);
    const std::string_view text = trimmed;
    // The first character always stays: a cut needs a name in front of it.
    for (std::size_t at = text.empty() ? 0 : characterLength(text, 0); at < text.size();
         at += characterLength(text, at)) {
        if (startsBracketedCode(text, at) || startsSuffix(text, at))
            return std::string(cutToLength(trimBlanks(text.substr(0, at)), kMaxNameBytes));
    }
    return std::string(cutToLength(text, kMaxNameBytes));
}

FundScraper::FundScraper(ServiceAddresses addresses, TextFetcher fetcher)
    : m_rowStartMarker("<a href=\""), m_rowEndMarker("%</td>"),
      m_quoteUrlPrefix(addresses.quoteService + std::string(kQuotePath)), m_addresses(std::move(addresses)),
      m_fetch(std::move(fetcher))
{
}

bool FundScraper::fetchFund(const std::string& code)
{
    const std::string page = fetch(m_addresses.fundSiteBase + code + ".html");
    const SectionMarkers& markers = sectionMarkers();
    m_pageText = cutBetween(page, markers.start, markers.end);
    const bool hasRow = !cutBetween(m_pageText, m_rowStartMarker, m_rowEndMarker).empty();

    FundInfo info;
    info.code = code;
    info.name = fundNameOfPage(page);
    info.asOfDate = asOfDateOfPage(page);
    if (page.empty())
        info.outcome = FundOutcome::PageNotFetched;
    else
        info.outcome = hasRow ? FundOutcome::HoldingsRead : FundOutcome::NoHoldingsTable;
    m_funds.push_back(std::move(info));
    return hasRow;
}

void FundScraper::parseHoldings()
{
    int searchFrom = 1;
    for (int pass = 0; pass < kMaxRowsPerFund; ++pass) {
        // The row: after the next "<a href=\"" up to the next "%</td>".
        const int markerPosition = findText(m_pageText, m_rowStartMarker, searchFrom);
        if (markerPosition == -1)
            return;
        const int rowPosition = markerPosition + static_cast<int>(m_rowStartMarker.size());
        const int endPosition = findText(m_pageText, m_rowEndMarker, rowPosition);
        if (endPosition == -1)
            return;
        const std::string row = middle(m_pageText, rowPosition, endPosition - rowPosition);
        if (row.empty())
            return;
        // Go on behind this row's own marker: a page that repeats a row byte for byte must not send
        // the walk back to the first copy.
        searchFrom = rowPosition;

        std::string name = cutBetween(row, "title=\"", "\"");
        if (name.empty())
            continue;
        const int lastBracket = findLastText(row, ">");
        const std::string percentText =
            lastBracket == -1 ? std::string() : row.substr(static_cast<std::size_t>(lastBracket));
        HoldingRecord record;
        record.name = std::move(name);
        record.ratio = readFloat(percentText);
        record.repeatCount = 1;
        record.link = cutBetween(row, "", "\"");
        record.code = stockCodeFromLink(record.link);
        record.price = fetchPrice(record.link);
        // A section only exists after a fetchFund, so the fund it came from is the last one noted.
        if (!m_funds.empty()) {
            FundInfo& fund = m_funds.back();
            record.sources.push_back({fund.code, record.ratio});
            fund.holdings.push_back({record.name, record.ratio});
        }
        m_holdings.push_back(std::move(record));
    }
}

std::string FundScraper::stockCodeFromLink(const std::string& link) const
{
    if (auto unified = unifiedMarketCode(link))
        return std::move(unified->code);
    const int slash = findLastText(link, "/");
    if (slash == -1)
        return {};
    const std::string tail = cutBetween(link.substr(static_cast<std::size_t>(slash) - 1), "", ".");
    return replaceAll(replaceAll(replaceAll(tail, "/", ""), "sz", ""), "sh", "");
}

float FundScraper::fetchPrice(const std::string& link)
{
    std::string market;
    if (auto unified = unifiedMarketCode(link)) {
        market = std::move(unified->market);
    } else if (findText(link, "sz") != -1) {
        market = "0";
    } else if (findText(link, "sh") != -1) {
        market = "1";
    } else if (findText(link, "us") != -1) {
        // A US stock's market number is only on its own page.
        market = cutBetween(fetch(resolveLink(link, m_addresses.fundSiteBase)), "var market = \"", "\";");
    } else if (findText(link, "hk") != -1) {
        market = "116";
    }
    const std::string reply = fetch(m_quoteUrlPrefix + market + "." + stockCodeFromLink(link));
    return readFloat(cutBetween(reply, "\"f43\":", ",\"f57\""));
}

void FundScraper::mergeInto(RecordList& table)
{
    mergeHoldings(m_holdings, table);
}

std::string FundScraper::fetch(const std::string& url) const
{
    // Only http(s) addresses leave the program, whatever the fetcher would do with others.
    if (!m_fetch || !isWebAddress(url))
        return {};
    return m_fetch(url);
}

}  // namespace corvelle::collect
