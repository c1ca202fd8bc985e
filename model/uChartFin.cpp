#include "uChartFin.h"

#include "codec.h"
#include "numtext.h"

#include <climits>
#include <cmath>
#include <stdexcept>

namespace korvala {

namespace {

// Text as the program holds it: UTF-8 (quote files are cp1251).
std::string Decode(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return Cp1251ToUtf8(bytes);
    return std::string(bytes);
}

// A part of a date or time: a whole number, or 0 when the text is not one.
int DatePart(std::string_view text) { return StrToIntDef(text, 0); }

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 0001-01-01 style civil date to a day count (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

const long long kEpoch = DaysFromCivil(1899, 12, 30);

[[noreturn]] void ThrowBadDateTime(std::string_view date, std::string_view time)
{
    throw ConvertError("'" + Decode(date) + " " + Decode(time)
                       + "' is not a valid date and time");
}

} // namespace

double ParseQuoteDateTime(std::string_view dateText, std::string_view timeText)
{
    const auto dot1 = dateText.find('.');
    if (dot1 == std::string_view::npos)
        return 0;
    const auto dot2 = dateText.find('.', dot1 + 1);
    if (dot2 == std::string_view::npos)
        return 0;
    const auto colon = timeText.find(':');
    if (colon == std::string_view::npos)
        return 0;
    const std::string_view dayText = dateText.substr(0, dot1);
    const std::string_view monthText = dateText.substr(dot1 + 1, dot2 - dot1 - 1);
    const std::string_view yearText = dateText.substr(dot2 + 1);
    const std::string_view hourText = timeText.substr(0, colon);
    const std::string_view minuteText = timeText.substr(colon + 1);
    if (dayText.empty() || monthText.empty() || yearText.empty() || hourText.empty()
        || minuteText.empty())
        return 0;

    const int day = DatePart(dayText);
    const int month = DatePart(monthText);
    const long long yearValue = DatePart(yearText);
    const long long year = yearValue < 50 ? 2000 + yearValue : 1900 + yearValue;
    const int hour = DatePart(hourText);
    const int minute = DatePart(minuteText);

    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1
        || day > DaysInMonth(static_cast<int>(year), month) || hour < 0 || hour > 23
        || minute < 0 || minute > 59)
        ThrowBadDateTime(dateText, timeText);

    const double date = static_cast<double>(
        DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpoch);
    const double time = (hour * 60 + minute) / 1440.0;
    // Before 30.12.1899 the day counts down while the time of day still counts up.
    return date < 0 ? date - time : date + time;
}

bool TFPoint::ParseLine(std::string_view line)
{
    std::string_view fields[7];
    std::size_t start = 0;
    for (int f = 0; f < 7; ++f) {
        if (start > line.size())
            return false;
        const auto sep = line.find(';', start);
        if (sep == std::string_view::npos) {
            if (f < 6)
                return false;
            fields[f] = line.substr(start);
        } else {
            fields[f] = line.substr(start, sep - start);
        }
        start = sep == std::string_view::npos ? line.size() + 1 : sep + 1;
    }

    DateTime = ParseQuoteDateTime(fields[0], fields[1]);
    std::string text;
    text.reserve(fields[0].size() + 1 + fields[1].size());
    text.append(fields[0]).append(" ").append(fields[1]);
    DateText = Decode(text);
    auto number = [](std::string_view field) {
        double v = 0;
        if (!TryStrToFloat(field, v))
            return StrToFloat(Decode(field)); // throws with the text as the user sees it
        return v;
    };
    Open = number(fields[2]);
    High = number(fields[3]);
    Low = number(fields[4]);
    Close = number(fields[5]);
    Volume = number(fields[6]);
    return true;
}

TFList::TFList() = default;
TFList::~TFList() = default;

TFPoint *TFList::Items(int index)
{
    if (index < 0 || index >= m_count)
        return nullptr;
    return &(*m_blocks[static_cast<std::size_t>(index >> kBlockShift)])[index & (kBlockSize - 1)];
}

const TFPoint *TFList::Items(int index) const
{
    return const_cast<TFList *>(this)->Items(index);
}

std::shared_ptr<const TFPoint> TFList::Share(int index) const
{
    const TFPoint *item = Items(index);
    if (!item)
        return nullptr;
    return std::shared_ptr<const TFPoint>(m_blocks[static_cast<std::size_t>(index >> kBlockShift)],
                                          item);
}

TFPoint &TFList::AddNew()
{
    if (m_count == INT_MAX)
        throw std::length_error("Too many records in one list");
    if ((m_count & (kBlockSize - 1)) == 0) {
        auto block = std::make_shared<Block>();
        block->reserve(kBlockSize);
        m_blocks.push_back(std::move(block));
    }
    ++m_count;
    return m_blocks.back()->emplace_back();
}

void TFList::RemoveLast()
{
    m_blocks.back()->pop_back();
    if (m_blocks.back()->empty())
        m_blocks.pop_back();
    --m_count;
}

void TFList::Clear()
{
    m_blocks.clear();
    m_count = 0;
}

void TFList::ResetStatistics()
{
    MaxLow = MaxClose = MaxHigh = MaxOpen = 0;
    MinLow = MinOpen = MinClose = MinHigh = kMinStart;
    AvgChange = -1;
    MaxVolume = 0;
}

bool TFList::LoadFromStream(std::string_view bytes)
{
    ResetStatistics();
    Clear();

    std::size_t pos = 0;
    bool header = true;
    while (pos < bytes.size()) {
        std::size_t end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        const std::string_view line = bytes.substr(pos, end - pos);
        pos = end;
        if (pos < bytes.size()) {
            if (bytes[pos] == '\r' && pos + 1 < bytes.size() && bytes[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
        if (header) {
            header = false;
            continue;
        }
        TFPoint &point = AddNew();
        try {
            if (!point.ParseLine(line))
                RemoveLast();
        } catch (...) {
            RemoveLast();
            throw;
        }
    }
    Statistics();
    return true;
}

void TFList::Statistics()
{
    ResetStatistics();
    double changeSum = 0;
    double close1 = 0; // Close(i-1)
    double close2 = 0; // Close(i-2)
    TFPoint *previous = nullptr;
    bool rising = true;
    double extreme = 0;

    ForEach([&](TFPoint &p, int i) {
        if (p.Open > MaxOpen) MaxOpen = p.Open;
        if (p.Open < MinOpen) MinOpen = p.Open;
        if (p.High > MaxHigh) MaxHigh = p.High;
        if (p.High < MinHigh) MinHigh = p.High;
        if (p.Low > MaxLow) MaxLow = p.Low;
        if (p.Low < MinLow) MinLow = p.Low;
        if (p.Close > MaxClose) MaxClose = p.Close;
        if (p.Close < MinClose) MinClose = p.Close;
        if (p.Volume > MaxVolume) MaxVolume = p.Volume;

        const double c = p.Close;
        if (i >= 1)
            changeSum += std::fabs(close1 - c);
        p.MA3 = i >= 2 ? (close2 + close1 + c) / 3 : c;

        if (i == 0) {
            extreme = c;
        } else {
            p.PivotEnabled = true;
            if ((rising && c > extreme) || (!rising && c < extreme)) {
                extreme = c;
                p.Pivot = c;
                previous->Pivot = 0;
            } else if ((rising && c < extreme) || (!rising && c > extreme)) {
                extreme = c;
                p.Pivot = c;
                rising = !rising;
            } else {
                p.Pivot = 0;
            }
        }
        close2 = close1;
        close1 = c;
        previous = &p;
    });

    CalcLevels();
    AvgChange = m_count >= 1 ? changeSum / m_count : 0;
}

void TFList::CalcLevels()
{
    if (m_count - 1 <= 2)
        return;
    auto qualifies = [this](int k) {
        const TFPoint *p = Items(k);
        return p->Pivot != 0 && p->PivotEnabled;
    };
    auto scanDown = [&](int k) {
        while (k > 2 && !qualifies(k))
            --k;
        return k;
    };

    int k1 = m_count - 1;
    long long remaining = LevelDepth;
    for (;;) {
        k1 = scanDown(k1);
        const int k2 = scanDown(k1 - 1);
        const int k3 = scanDown(k2 - 1);
        TFPoint &item = *Items(k1);
        const double p1 = item.Pivot;
        const double p2 = Items(k2)->Pivot;
        const double p3 = Items(k3)->Pivot;
        item.Retrace382 = p1 - 0.382 * (p1 - p2);
        item.Retrace681 = p1 - 0.681 * (p1 - p2);
        item.OP = p3 + (p2 - p1);
        item.COP = p3 + 0.618 * (p2 - p1);
        item.XOP = p3 + 1.618 * (p2 - p1);

        k1 = k2 - 1;
        --remaining;
        if (remaining < 0 || k1 <= 2)
            break;
    }
}

} // namespace korvala
