// The bundled sample fund site and quote service: loads its illustrative data set and renders fund pages,
// stock pages and quote replies shaped like the public services the program reads.
#include "tools/sample-site/sample_site.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <regex>
#include <set>
#include <thread>
#include <utility>

namespace corvelle::samplesite {

namespace {

constexpr std::string_view kReportDate = "2026-09-30";
constexpr std::size_t kLargePageBytes = std::size_t{500} * 1024;
constexpr std::string_view kHtmlType = "text/html; charset=utf-8";
constexpr std::string_view kJsonType = "application/json; charset=utf-8";
// Members of a quote reply that the program does not read; kept so replies look like the real service's.
constexpr std::string_view kQuoteEnvelope = R"({"rc":0,"rt":4,"svr":182482649,"lt":1,"full":1,"dlmkts":"",)";

// ---------------------------------------------------------------------------------------------------
// Data files

struct Line {
    int number = 0;
    std::vector<std::string> fields;
};

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

// The data lines of a TSV file: blank lines and lines starting with "#" are skipped.
std::optional<std::vector<Line>> readTsv(const std::filesystem::path& file, std::string& error)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        error = file.string() + ": cannot be read";
        return std::nullopt;
    }
    std::vector<Line> lines;
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
        if (text.empty() || text.front() == '#')
            continue;
        lines.push_back({number, splitTabs(text)});
    }
    return lines;
}

bool matches(const std::string& text, const char* pattern)
{
    return std::regex_match(text, std::regex(pattern));
}

bool validCode(std::string_view market, const std::string& code)
{
    if (market == kShanghai || market == kShenzhen)
        return matches(code, "[0-9]{6}");
    if (market == kHongKong)
        return matches(code, "[0-9]{5}");
    if (market == kNasdaq || market == kNewYork)
        return matches(code, "[A-Z]{1,5}");
    return false;
}

// Names go into HTML attributes and JSON strings unescaped by the scraper's reading, so they must not need
// escaping at all.
bool validName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\"<>&\\\t") == std::string::npos;
}

class Loader {
public:
    explicit Loader(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    LoadResult load()
    {
        SiteData data;
        if (!loadStocks(data) || !loadFunds(data) || !loadHoldings(data))
            return {std::nullopt, m_error};
        return {std::move(data), {}};
    }

private:
    bool fail(const std::string& file, int line, const std::string& what)
    {
        m_error = (m_folder / file).string() + ":" + std::to_string(line) + ": " + what;
        return false;
    }

    std::optional<std::vector<Line>> read(const std::string& file, std::size_t minFields,
                                          std::size_t maxFields)
    {
        auto lines = readTsv(m_folder / file, m_error);
        if (!lines)
            return std::nullopt;
        for (const Line& line : *lines)
            if (line.fields.size() < minFields || line.fields.size() > maxFields) {
                fail(file, line.number, "expected " + std::to_string(minFields) + " tab-separated fields");
                return std::nullopt;
            }
        return lines;
    }

    bool loadStocks(SiteData& data)
    {
        const std::string file = "stocks.tsv";
        auto lines = read(file, 4, 4);
        if (!lines)
            return false;
        std::set<std::string> codes;
        for (const Line& line : *lines) {
            Stock stock{line.fields[0], line.fields[1], line.fields[2], line.fields[3]};
            if (!validCode(stock.market, stock.code))
                return fail(file, line.number, "unknown market or malformed code");
            if (!validName(stock.name))
                return fail(file, line.number, "empty name or one with characters that need escaping");
            if (stock.price != "-" && !matches(stock.price, "[0-9]+(\\.[0-9]+)?"))
                return fail(file, line.number, "price must be a decimal number or \"-\"");
            // Codes are unique across markets: a US page address carries no market number, only the code.
            if (!codes.insert(stock.code).second)
                return fail(file, line.number, "code " + stock.code + " appears twice");
            data.stocks.push_back(std::move(stock));
        }
        return true;
    }

    bool loadFunds(SiteData& data)
    {
        const std::string file = "funds.tsv";
        auto lines = read(file, 4, 5);
        if (!lines)
            return false;
        for (const Line& line : *lines) {
            Fund fund;
            fund.code = line.fields[0];
            fund.name = line.fields[1];
            if (!matches(fund.code, "[0-9]{6}"))
                return fail(file, line.number, "a fund code has six digits");
            if (data.findFund(fund.code) != nullptr)
                return fail(file, line.number, "fund " + fund.code + " appears twice");
            if (!validName(fund.name))
                return fail(file, line.number, "empty name or one with characters that need escaping");
            const std::string& links = line.fields[2];
            if (links == "page")
                fund.links = LinkStyle::Page;
            else if (links == "unify")
                fund.links = LinkStyle::Unify;
            else
                return fail(file, line.number, "link style must be page or unify");
            const std::string& page = line.fields[3];
            if (page == "normal")
                fund.page = PageKind::Normal;
            else if (page == "large")
                fund.page = PageKind::Large;
            else if (page == "no-table")
                fund.page = PageKind::NoTable;
            else if (page == "date-first")
                fund.page = PageKind::DateFirst;
            else
                return fail(file, line.number, "page must be normal, large, no-table or date-first");
            // Most funds show the latest quarter; a fund may still show an older one.
            fund.asOfDate = line.fields.size() == 5 ? line.fields[4] : std::string(kReportDate);
            if (!matches(fund.asOfDate, "[0-9]{4}-[0-9]{2}-[0-9]{2}"))
                return fail(file, line.number, "the as-of date is written like 2026-06-30");
            data.funds.push_back(std::move(fund));
        }
        return true;
    }

    bool loadHoldings(SiteData& data)
    {
        const std::string file = "holdings.tsv";
        auto lines = read(file, 3, 4);
        if (!lines)
            return false;
        for (const Line& line : *lines) {
            const std::string& fundCode = line.fields[0];
            auto fund = std::find_if(data.funds.begin(), data.funds.end(),
                                     [&](const Fund& f) { return f.code == fundCode; });
            if (fund == data.funds.end())
                return fail(file, line.number, "unknown fund " + fundCode);
            if (fund->page == PageKind::NoTable)
                return fail(file, line.number, "fund " + fundCode + " has a page without a holdings table");
            const std::string& secid = line.fields[1];
            const std::size_t dot = secid.find('.');
            Holding holding;
            holding.market = secid.substr(0, dot);
            holding.code = dot == std::string::npos ? std::string() : secid.substr(dot + 1);
            if (data.findStock(holding.market, holding.code) == nullptr)
                return fail(file, line.number, "unknown stock " + secid);
            const bool heldTwice =
                std::any_of(fund->holdings.begin(), fund->holdings.end(), [&](const Holding& other) {
                    return other.market == holding.market && other.code == holding.code;
                });
            if (heldTwice)
                return fail(file, line.number, "the fund holds this stock twice: " + secid);
            holding.percentCell = line.fields[2];
            if (!matches(holding.percentCell, "(-|[0-9]+(\\.[0-9]+)?)%?"))
                return fail(file, line.number, "percentage cell must be like 9.87%, -% or -");
            if (line.fields.size() == 4) {
                if (line.fields[3] != "no-title")
                    return fail(file, line.number, "the only flag is no-title");
                holding.hasTitle = false;
            }
            fund->holdings.push_back(std::move(holding));
        }
        return true;
    }

    std::filesystem::path m_folder;
    std::string m_error;
};

// ---------------------------------------------------------------------------------------------------
// Rendering

// A small deterministic generator, so a fund's page is the same on every request and every run.
class Random {
public:
    explicit Random(std::string_view seed)
    {
        for (char c : seed)
            m_state = (m_state ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high).
    double between(double low, double high)
    {
        return low + (high - low) * static_cast<double>(next() >> 11) / static_cast<double>(1ULL << 53);
    }

private:
    std::uint64_t m_state = 0xCBF29CE484222325ULL;
};

std::string format(const char* pattern, double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, pattern, value);
    return buffer;
}

std::string dateOfDay(int daysBeforeReport)
{
    // Days counted back from 2026-09-30 on a simplified calendar of 30-day months: filler only.
    int month = 9;
    int day = 30 - daysBeforeReport;
    int year = 2026;
    while (day < 1) {
        day += 30;
        if (--month < 1) {
            month = 12;
            --year;
        }
    }
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", year, month, day);
    return buffer;
}

std::string marketLetters(const Stock& stock)
{
    return stock.market == kShanghai ? "sh" : "sz";
}

void appendHead(std::string& page, const Fund& fund)
{
    page += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page += fund.name + "(" + fund.code + ")基金净值_估值_行情走势—示例基金网</title>\n";
    page += "<style>body{font:12px/1.5 sans-serif;color:#333}table{border-collapse:collapse}"
            "td,th{padding:2px 6px;border-bottom:1px solid #eee}.alignRight{text-align:right}"
            ".ui-color-red{color:#e33}.ui-color-green{color:#093}.bold{font-weight:bold}</style>\n";
    page += "<script type=\"text/javascript\">var fS_name = \"" + fund.name + "\";var fS_code = \"" +
            fund.code + "\";var isDemo = true;</script>\n";
}

// Inline scripts with a net worth history, as big fund pages carry them before the page body.
void appendTrendScript(std::string& page, Random& random, std::size_t points)
{
    page += "<script type=\"text/javascript\">\n/*单位净值走势*/var Data_netWorthTrend = [";
    double worth = random.between(0.8, 1.6);
    const std::uint64_t firstDay = 1483200000000ULL;
    for (std::size_t i = 0; i < points; ++i) {
        const double change = random.between(-0.025, 0.026);
        worth = std::max(0.3, worth * (1.0 + change));
        page += (i == 0 ? "" : ",");
        page += "{\"x\":" + std::to_string(firstDay + i * 86400000ULL) + ",\"y\":" + format("%.4f", worth) +
                ",\"equityReturn\":" + format("%.2f", change * 100) + ",\"unitMoney\":\"\"}";
    }
    page += "];\n/*累计净值走势*/var Data_ACWorthTrend = [";
    for (std::size_t i = 0; i < points; ++i) {
        page += (i == 0 ? "" : ",");
        page += "[" + std::to_string(firstDay + i * 86400000ULL) + "," +
                format("%.4f", random.between(1.0, 4.0)) + "]";
    }
    page += "];\n</script>\n";
}

void appendFundInfo(std::string& page, const Fund& fund, const std::string& host, const SiteData& data,
                    Random& random)
{
    page += "<div class=\"header\"><a href=\"http://" + host + "/\">示例基金网</a> 仅供演示，并非实时行情 |";
    // A few links to other funds, as the real site's navigation has them (before the holdings).
    for (std::size_t i = 0; i < data.funds.size() && i < 6; ++i)
        page +=
            " <a href=\"http://" + host + "/" + data.funds[i].code + ".html\">" + data.funds[i].name + "</a>";
    page += "</div>\n<div class=\"fundInfoItem\">\n<h1>" + fund.name + " (" + fund.code + ")</h1>\n";
    page += "<dl><dt>单位净值 (" + std::string(kReportDate) + ")</dt><dd class=\"dataNums\">" +
            format("%.4f", random.between(0.8, 6.0)) + "</dd>";
    page += "<dt>累计净值</dt><dd class=\"dataNums\">" + format("%.4f", random.between(1.0, 8.0)) + "</dd>";
    page += "<dt>近1年</dt><dd>" + format("%.2f", random.between(-30.0, 40.0)) + "%</dd></dl>\n";
    page += "<table class=\"infoOfFund\"><tr><td>类型：混合型-偏股</td><td>规模：" +
            format("%.2f", random.between(5.0, 400.0)) +
            "亿元</td><td>基金经理：示例经理</td></tr></table>\n</div>\n";
}

// A long net worth history table with percentage cells, which stands before the holdings on big pages.
void appendHistoryTable(std::string& page, Random& random, int rows)
{
    page += "<div class=\"historyNav\"><h4>历史净值</h4><table class=\"w782 comm lsjz\">\n"
            "<tr><th>净值日期</th><th>单位净值</th><th>累计净值</th><th>日增长率</th></tr>\n";
    for (int i = 0; i < rows; ++i) {
        const double change = random.between(-3.0, 3.0);
        page += "<tr><td>" + dateOfDay(i) + "</td><td class=\"alignRight bold\">" +
                format("%.4f", random.between(1.0, 3.0)) + "</td><td class=\"alignRight bold\">" +
                format("%.4f", random.between(1.0, 5.0)) + "</td><td class=\"" +
                (change < 0 ? "ui-color-green" : "ui-color-red") + "\">" + format("%.2f", change) +
                "%</td></tr>\n";
    }
    page += "</table></div>\n";
}

void appendBondTable(std::string& page, Random& random)
{
    page += "<div class=\"position_bonds\"><h4>债券持仓</h4><table class=\"ui-table-hover\">\n"
            "<tr><th>序号</th><th>债券名称</th><th>占净值比</th></tr>\n";
    static const char* const kBonds[] = {"26国债01", "26国开05", "25进出10", "26农发03", "25国债12"};
    int number = 1;
    for (const char* bond : kBonds)
        page += "<tr><td>" + std::to_string(number++) + "</td><td>" + bond +
                "</td><td class=\"alignRight\">" + format("%.2f", random.between(0.5, 6.0)) + "%</td></tr>\n";
    page += "</table></div>\n";
}

void appendDateLine(std::string& page, const Fund& fund)
{
    page +=
        "<div class=\"sourceRow\">持仓截止日期:" + fund.asOfDate + " <span>来源：基金季度报告</span></div>\n";
}

void appendHoldingsTable(std::string& page, const Fund& fund, const SiteData& data, const std::string& host,
                         Random& random)
{
    page += "<div class=\"position_shares\"><h4>股票持仓</h4>\n<table class=\"ui-table-hover\">\n"
            "<tr><th>序号</th><th class=\"alignLeft\">股票名称</th><th class=\"alignRight\">持仓占比</th>"
            "<th class=\"alignRight\">涨跌幅</th></tr>\n";
    int number = 1;
    for (const Holding& holding : fund.holdings) {
        const Stock& stock = *data.findStock(holding.market, holding.code);
        const double change = random.between(-5.0, 5.0);
        page += "<tr><td>" + std::to_string(number++) + "</td><td class=\"alignLeft\"><a href=\"" +
                holdingLink(stock, fund.links, host) + "\"";
        if (holding.hasTitle)
            page += " title=\"" + stock.name + "\"";
        page += ">" + stock.name + "</a></td><td class=\"alignRight bold\">" + holding.percentCell +
                "</td><td class=\"alignRight bold\"><span class=\"" +
                (change < 0 ? "ui-color-green" : "ui-color-red") + "\">" + format("%+.2f", change) +
                "%</span></td></tr>\n";
    }
    page += "</table>\n";
    if (fund.page != PageKind::DateFirst)
        appendDateLine(page, fund);
    page += "</div>\n";
}

std::string renderStockPage(const Stock& stock)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    page += stock.name + "(" + stock.code + ")股票价格_行情_走势图—示例行情</title>\n";
    page += "<script type=\"text/javascript\">var market = \"" + stock.market + "\"; var code = \"" +
            stock.code + "\"; var name = \"" + stock.name + "\";</script>\n</head>\n<body>\n";
    page += "<h1>" + stock.name + " (" + stock.code + ")</h1>\n<p>最新价：" + stock.price + "</p>\n";
    page += "<p>示例数据，仅供演示，并非实时行情。</p>\n</body>\n</html>\n";
    return page;
}

std::string renderIndexPage(const SiteData& data, const std::string& host)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>示例基金网</title>\n</head>\n<body>\n<h1>示例基金网</h1>\n"
                       "<p>Illustrative data for trying the program out; not live market data.</p>\n<ul>\n";
    for (const Fund& fund : data.funds)
        page += "<li><a href=\"http://" + host + "/" + fund.code + ".html\">" + fund.code + " " + fund.name +
                "</a></li>\n";
    page += "</ul>\n</body>\n</html>\n";
    return page;
}

std::string renderNotFoundPage()
{
    return "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>404 Not "
           "Found</title>\n</head>\n"
           "<body>\n<h1>404 Not Found</h1>\n<p>您访问的页面不存在。</p>\n</body>\n</html>\n";
}

// The host and port to write into links: the Host header the request came with, when it is a plain
// host[:port]; otherwise the local address the request reached.
std::string linkHost(const httplib::Request& request)
{
    static const std::regex kPlainHost(R"(([A-Za-z0-9.-]+|\[[0-9A-Fa-f:.]+\])(:[0-9]{1,5})?)");
    std::string host = request.get_header_value("Host");
    if (!host.empty() && host.size() < 256 && std::regex_match(host, kPlainHost))
        return host;
    const bool ipv6 = request.local_addr.find(':') != std::string::npos;
    return (ipv6 ? "[" + request.local_addr + "]" : request.local_addr) + ":" +
           std::to_string(request.local_port);
}

void sendPage(httplib::Response& response, const std::string& body)
{
    response.set_content(body, kHtmlType.data());
}

void sendNotFound(httplib::Response& response)
{
    response.status = 404;
    sendPage(response, renderNotFoundPage());
}

}  // namespace

const Fund* SiteData::findFund(std::string_view code) const
{
    auto it = std::find_if(funds.begin(), funds.end(), [&](const Fund& fund) { return fund.code == code; });
    return it == funds.end() ? nullptr : &*it;
}

const Stock* SiteData::findStock(std::string_view market, std::string_view code) const
{
    auto it = std::find_if(stocks.begin(), stocks.end(),
                           [&](const Stock& stock) { return stock.market == market && stock.code == code; });
    return it == stocks.end() ? nullptr : &*it;
}

const Stock* SiteData::findStockByCode(std::string_view code) const
{
    const Stock* found = nullptr;
    for (const Stock& stock : stocks)
        if (stock.code == code) {
            if (found != nullptr)
                return nullptr;
            found = &stock;
        }
    return found;
}

LoadResult loadSiteData(const std::filesystem::path& folder)
{
    return Loader(folder).load();
}

std::filesystem::path sourceDataFolder()
{
    return CORVELLE_SAMPLE_SITE_SOURCE_DATA;
}

std::string stockPagePath(const Stock& stock)
{
    if (stock.market == kShanghai || stock.market == kShenzhen)
        return "/" + marketLetters(stock) + stock.code + ".html";
    if (stock.market == kHongKong)
        return "/hk/" + stock.code + ".html";
    return "/us/" + stock.code + ".html";
}

std::string holdingLink(const Stock& stock, LinkStyle style, std::string_view host)
{
    if (style == LinkStyle::Unify)
        return "//" + std::string(host) + "/unify/r/" + stock.market + "." + stock.code;
    return "http://" + std::string(host) + stockPagePath(stock);
}

std::string renderFundPage(const Fund& fund, const SiteData& data, std::string_view hostView)
{
    const std::string host(hostView);
    Random random(fund.code);
    const bool large = fund.page == PageKind::Large;
    std::string page;
    page.reserve(large ? kLargePageBytes + std::size_t{64} * 1024 : std::size_t{16} * 1024);

    appendHead(page, fund);
    if (large)
        appendTrendScript(page, random, 2200);
    page += "</head>\n<body>\n";
    appendFundInfo(page, fund, host, data, random);
    if (fund.page == PageKind::DateFirst)
        page += "<div class=\"notice\">持仓截止日期:" + fund.asOfDate + "（季报数据更新中）</div>\n";
    if (large)
        appendHistoryTable(page, random, 900);
    if (fund.page == PageKind::NoTable) {
        page += "<div class=\"position_shares\"><h4>股票持仓</h4><p "
                "class=\"nodata\">暂无股票持仓数据</p></div>\n";
        appendBondTable(page, random);
        appendDateLine(page, fund);
    } else {
        appendHoldingsTable(page, fund, data, host, random);
    }
    if (large) {
        appendBondTable(page, random);
        // Fill the rest of the page's size with a trailing script, as real pages end with analytics data.
        page += "<script type=\"text/javascript\">/*同类排名走势*/var Data_rateInSimilarType = [";
        bool first = true;
        while (page.size() < kLargePageBytes) {
            page += first ? "" : ",";
            first = false;
            page += "{\"x\":" + std::to_string(random.next() % 1700000000000ULL) +
                    ",\"y\":" + std::to_string(random.next() % 3000) + ",\"sc\":\"3120\"}";
        }
        page += "];</script>\n";
    }
    page += "<div "
            "class=\"footer\">本站数据仅为演示用途，并非实时行情，不构成投资建议。</div>\n</body>\n</html>\n";
    return page;
}

std::string quoteReply(const SiteData& data, std::string_view secid)
{
    const std::size_t dot = secid.find('.');
    const Stock* stock = nullptr;
    if (dot != std::string_view::npos) {
        const std::string_view market = secid.substr(0, dot);
        const std::string_view code = secid.substr(dot + 1);
        stock = data.findStock(market, code);
    }
    std::string reply(kQuoteEnvelope);
    if (stock == nullptr)
        return reply + "\"data\":null}";
    const std::string price = stock->price == "-" ? "\"-\"" : stock->price;
    return reply + "\"data\":{\"f43\":" + price + ",\"f57\":\"" + stock->code + "\",\"f58\":\"" +
           stock->name + "\"}}";
}

void registerSampleSite(httplib::Server& server, const std::shared_ptr<const SiteData>& data,
                        ServeOptions options)
{
    if (options.latency.count() > 0) {
        server.set_pre_routing_handler(
            [latency = options.latency](const httplib::Request&, httplib::Response&) {
                std::this_thread::sleep_for(latency);
                return httplib::Server::HandlerResponse::Unhandled;
            });
    }
    server.Get(R"(/)", [data](const httplib::Request& request, httplib::Response& response) {
        sendPage(response, renderIndexPage(*data, linkHost(request)));
    });
    server.Get(R"(/([0-9]{6})\.html)", [data](const httplib::Request& request, httplib::Response& response) {
        const Fund* fund = data->findFund(request.matches[1].str());
        if (fund == nullptr)
            return sendNotFound(response);
        sendPage(response, renderFundPage(*fund, *data, linkHost(request)));
    });
    server.Get(R"(/(sh|sz)([0-9]{6})\.html)",
               [data](const httplib::Request& request, httplib::Response& response) {
                   const std::string_view market = request.matches[1].str() == "sh" ? kShanghai : kShenzhen;
                   const Stock* stock = data->findStock(market, request.matches[2].str());
                   if (stock == nullptr)
                       return sendNotFound(response);
                   sendPage(response, renderStockPage(*stock));
               });
    server.Get(R"(/hk/([0-9]{5})\.html)",
               [data](const httplib::Request& request, httplib::Response& response) {
                   const Stock* stock = data->findStock(kHongKong, request.matches[1].str());
                   if (stock == nullptr)
                       return sendNotFound(response);
                   sendPage(response, renderStockPage(*stock));
               });
    server.Get(R"(/us/([A-Z]{1,5})\.html)",
               [data](const httplib::Request& request, httplib::Response& response) {
                   const Stock* stock = data->findStockByCode(request.matches[1].str());
                   if (stock == nullptr || !stock->isUs())
                       return sendNotFound(response);
                   sendPage(response, renderStockPage(*stock));
               });
    server.Get(R"(/unify/r/([0-9]{1,3})\.([0-9A-Z]{1,6}))",
               [data](const httplib::Request& request, httplib::Response& response) {
                   const Stock* stock = data->findStock(request.matches[1].str(), request.matches[2].str());
                   if (stock == nullptr)
                       return sendNotFound(response);
                   sendPage(response, renderStockPage(*stock));
               });
    server.Get(R"(/api/qt/stock/get)", [data](const httplib::Request& request, httplib::Response& response) {
        response.set_content(quoteReply(*data, request.get_param_value("secid")), kJsonType.data());
    });
    // Everything else, and any error status without a body of its own, gets the plain 404 page.
    server.set_error_handler(
        httplib::Server::HandlerWithResponse([](const httplib::Request&, httplib::Response& response) {
            if (!response.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            if (response.status == 404)
                sendPage(response, renderNotFoundPage());
            else
                sendPage(response, "<!DOCTYPE html>\n<html><body><h1>" + std::to_string(response.status) +
                                       "</h1></body></html>\n");
            return httplib::Server::HandlerResponse::Handled;
        }));
}

}  // namespace corvelle::samplesite
