#include "quotes.h"

#include "blockmemory.h"
#include "codec.h"
#include "lines.h"
#include "numtext.h"
#include "texts.h"

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/parallel_for.h>

#include <algorithm>
#include <atomic>
#include <exception>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <cmath>
#include <stdexcept>

namespace korvala {

namespace {

bool HasHighBytes(std::string_view bytes)
{
    unsigned char any = 0;
    for (char c : bytes)
        any |= static_cast<unsigned char>(c);
    return (any & 0x80) != 0;
}

constexpr std::size_t kLengths = 2 * sizeof(std::uint32_t);

std::uint32_t StoredLength(const char *data, int which)
{
    std::uint32_t n = 0;
    std::memcpy(&n, data + which * sizeof(std::uint32_t), sizeof n);
    return n;
}

// Copies text to out unless it is empty (an empty view may have no data pointer).
char *Put(char *out, std::string_view text)
{
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

} // namespace

TFPoint::PeriodTexts::PeriodTexts(const PeriodTexts &other) { Set(other.Start(), other.End()); }

TFPoint::PeriodTexts &TFPoint::PeriodTexts::operator=(const PeriodTexts &other)
{
    if (this != &other)
        Set(other.Start(), other.End());
    return *this;
}

TFPoint::PeriodTexts::PeriodTexts(PeriodTexts &&other) noexcept
{
    std::memcpy(m_inline, other.m_inline, kInline);
    m_startLength = other.m_startLength;
    m_endLength = other.m_endLength;
    other.m_startLength = other.m_endLength = 0;
}

TFPoint::PeriodTexts &TFPoint::PeriodTexts::operator=(PeriodTexts &&other) noexcept
{
    if (this != &other) {
        Release();
        std::memcpy(m_inline, other.m_inline, kInline);
        m_startLength = other.m_startLength;
        m_endLength = other.m_endLength;
        other.m_startLength = other.m_endLength = 0;
    }
    return *this;
}

TFPoint::PeriodTexts::~PeriodTexts() { Release(); }

void TFPoint::PeriodTexts::Release()
{
    if (OnHeap())
        delete[] m_heap;
    m_startLength = m_endLength = 0;
}

std::string_view TFPoint::PeriodTexts::Start() const
{
    if (OnHeap())
        return {m_heap + kLengths, StoredLength(m_heap, 0)};
    return {m_inline, m_startLength};
}

std::string_view TFPoint::PeriodTexts::End() const
{
    if (OnHeap())
        return {m_heap + kLengths + StoredLength(m_heap, 0), StoredLength(m_heap, 1)};
    return {m_inline + m_startLength, m_endLength};
}

void TFPoint::PeriodTexts::Set(std::string_view start, std::string_view end, std::string_view endTail)
{
    const std::size_t endSize = end.size() + endTail.size();
    if (start.size() + endSize <= kInline) {
        char buffer[kInline];
        Put(Put(Put(buffer, start), end), endTail); // the texts may lie in this very record
        Release();
        std::memcpy(m_inline, buffer, kInline);
        m_startLength = static_cast<unsigned char>(start.size());
        m_endLength = static_cast<unsigned char>(endSize);
        return;
    }
    const std::uint32_t lengths[2] = {static_cast<std::uint32_t>(start.size()),
                                      static_cast<std::uint32_t>(endSize)};
    char *data = new char[kLengths + start.size() + endSize];
    std::memcpy(data, lengths, kLengths);
    Put(Put(Put(data + kLengths, start), end), endTail);
    Release();
    m_heap = data;
    m_startLength = kOnHeap;
}

std::string_view TFPoint::PeriodStart() const { return m_period.Start(); }

std::string_view TFPoint::PeriodEnd() const { return m_period.End(); }

void TFPoint::SetPeriodStart(std::string_view text) { m_period.Set(text, m_period.End()); }

void TFPoint::SetPeriodEnd(std::string_view text) { m_period.Set(m_period.Start(), text); }

void TFPoint::SetPeriod(std::string_view start, std::string_view end, std::string_view endTail)
{
    m_period.Set(start, end, endTail);
}

bool TFPoint::ParseLine(std::string_view line)
{
    std::string_view fields[7];
    int count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size() && count < 6; ++i) {
        if (line[i] == ';') {
            fields[count++] = line.substr(start, i - start);
            start = i + 1;
        }
    }
    if (count < 6)
        return false;
    const auto sep = line.find(';', start);
    fields[6] = line.substr(start, sep == std::string_view::npos ? std::string_view::npos
                                                                  : sep - start);

    DateTime = ParseQuoteDateTime(fields[0], fields[1]);
    DateText.reserve(fields[0].size() + 1 + fields[1].size());
    DateText.assign(fields[0]).append(" ").append(fields[1]);
    if (HasHighBytes(DateText))
        DateText = Cp1251ToUtf8(DateText);
    auto number = [](std::string_view field) {
        double v = 0;
        if (!TryStrToFloat(field, v))
            return StrToFloat(Cp1251ToUtf8(field)); // throws with the text as the user sees it
        return v;
    };
    Open = number(fields[2]);
    High = number(fields[3]);
    Low = number(fields[4]);
    Close = number(fields[5]);
    Volume = number(fields[6]);
    return true;
}

namespace {

constexpr std::size_t kBlockBytes = sizeof(TFPoint) * (std::size_t{1} << 18);

} // namespace

// The block reserves address space only: pages are zero-filled when first touched, so
// a list of a few items costs one page, not the whole block.
TFList::Block::Block() : m_items(static_cast<TFPoint *>(ReserveBlockMemory(kBlockBytes)))
{
    static_assert(kBlockSize == (1 << 18));
}

TFList::Block::~Block()
{
    clear();
    ReleaseBlockMemory(m_items, kBlockBytes);
}

TFPoint &TFList::Block::emplace_back()
{
    if (m_size == kHugeFrom)
        AdviseHugePages(m_items, kBlockBytes);
    if (m_size == m_touched)
        ++m_touched;
    return *new (m_items + m_size++) TFPoint();
}

void TFList::Block::AdviseLarge() { AdviseHugePages(m_items, kBlockBytes); }

void TFList::Block::pop_back()
{
    m_items[--m_size].~TFPoint();
}

// A full block's records are destroyed on all cores (each reads two of its record's
// three cache lines); the block is empty afterwards.
void TFList::Block::clear()
{
    if (m_size >= kHugeFrom) {
        tbb::parallel_for(tbb::blocked_range<int>(0, m_size, 8192), [this](const tbb::blocked_range<int> &r) {
            for (int i = r.begin(); i != r.end(); ++i)
                m_items[i].~TFPoint();
        });
        m_size = 0;
    }
    while (m_size > 0)
        pop_back();
}

namespace {

// Blocks that lists on this thread let go of after little use, for the next lists on
// it: a scan reads thousands of small files one after another on every thread, and a
// fresh block faults its pages in again (the system serialising the faults of all
// threads). Only blocks of few pages wait here.
constexpr int kThreadSpareRecords = (1 << 20) / static_cast<int>(sizeof(TFPoint));
constexpr std::size_t kThreadSpares = 2;

} // namespace

TFList::TFList() = default;

TFList::~TFList()
{
    Clear();
    KeepSpare(std::move(m_spare));
}

std::vector<std::shared_ptr<TFList::Block>> &TFList::ThreadSpares()
{
    thread_local std::vector<std::shared_ptr<Block>> spares;
    return spares;
}

void TFList::KeepSpare(std::shared_ptr<Block> block)
{
    std::vector<std::shared_ptr<Block>> &spares = ThreadSpares();
    if (block && block.use_count() == 1 && block->empty() && block->Touched() <= kThreadSpareRecords
        && spares.size() < kThreadSpares)
        spares.push_back(std::move(block));
}

std::shared_ptr<TFList::Block> TFList::FreshBlock()
{
    if (m_spare)
        return std::move(m_spare);
    std::vector<std::shared_ptr<Block>> &spares = ThreadSpares();
    if (!spares.empty()) {
        std::shared_ptr<Block> block = std::move(spares.back());
        spares.pop_back();
        return block;
    }
    return std::make_shared<Block>();
}

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
        m_blocks.push_back(FreshBlock());
    }
    ++m_count;
    return m_blocks.back()->emplace_back();
}

void TFList::RemoveLast()
{
    m_blocks.back()->pop_back();
    // An emptied block waits for the next record: a file of short lines would otherwise
    // map and unmap a block for every one of them.
    if (m_blocks.back()->empty()) {
        if (m_blocks.back().use_count() == 1)
            m_spare = std::move(m_blocks.back());
        m_blocks.pop_back();
    }
    --m_count;
}

void TFList::Clear()
{
    // A rebuild of a similar size then writes into pages it already has.
    if (!m_blocks.empty() && m_blocks.front().use_count() == 1) {
        m_spare = std::move(m_blocks.front());
        m_spare->clear();
    }
    m_blocks.clear();
    m_closes.SetSize(0);
    m_count = 0;
}

// Room for one close per item, the array's size set to Count().
double *TFList::TakeCloses() const
{
    const std::size_t bytes = static_cast<std::size_t>(m_count) * sizeof(double);
    m_closes.Reserve(bytes);
    m_closes.SetSize(bytes);
    return reinterpret_cast<double *>(m_closes.data());
}

std::span<const double> TFList::Closes() const
{
    if (m_closes.size() != static_cast<std::size_t>(m_count) * sizeof(double)) {
        double *closes = TakeCloses();
        ForEach([closes](const TFPoint &p, int i) { closes[i] = p.Close; });
    }
    return {reinterpret_cast<const double *>(m_closes.data()), static_cast<std::size_t>(m_count)};
}

std::string QuoteLineError::Location() const
{
    std::string text = m_file.empty() ? std::string("line ") : FileNameOf(m_file) + ", line ";
    return text + std::to_string(m_line);
}

void TFList::Swap(TFList &other) noexcept
{
    using std::swap;
    swap(MaxLow, other.MaxLow);
    swap(MaxClose, other.MaxClose);
    swap(MaxHigh, other.MaxHigh);
    swap(MaxOpen, other.MaxOpen);
    swap(MinLow, other.MinLow);
    swap(MinOpen, other.MinOpen);
    swap(MinClose, other.MinClose);
    swap(MinHigh, other.MinHigh);
    swap(AvgChange, other.AvgChange);
    swap(MaxVolume, other.MaxVolume);
    swap(m_blocks, other.m_blocks);
    swap(m_spare, other.m_spare);
    swap(m_closes, other.m_closes);
    swap(m_count, other.m_count);
}

void TFList::ResetStatistics()
{
    MaxLow = MaxClose = MaxHigh = MaxOpen = 0;
    MinLow = MinOpen = MinClose = MinHigh = kMinStart;
    AvgChange = -1;
    MaxVolume = 0;
}

bool TFList::LoadFromStream(std::string_view bytes, const LoadSplit &split)
{
    ResetStatistics();
    Clear();
    // Line 1 is the header.
    const std::size_t body = SkipLineEnd(bytes, FindLineEnd(bytes, 0));
    if (bytes.size() - body < split.parallelFrom || !LoadInParallel(bytes, body, split))
        LoadLines(bytes, body, 2);
    Statistics();
    return true;
}

// The lines from pos to the end, the first of them numbered lineNumber, on this thread.
void TFList::LoadLines(std::string_view bytes, std::size_t pos, long long lineNumber)
{
    for (; pos < bytes.size(); ++lineNumber) {
        const std::size_t end = FindLineEnd(bytes, pos);
        const std::string_view line = bytes.substr(pos, end - pos);
        pos = SkipLineEnd(bytes, end);
        TFPoint &point = AddNew();
        try {
            if (!point.ParseLine(line))
                RemoveLast();
        } catch (const ConvertError &error) {
            RemoveLast();
            throw QuoteLineError(error, lineNumber);
        } catch (...) {
            RemoveLast();
            throw;
        }
    }
}

TFPoint *TFList::Slot(std::int64_t index)
{
    return m_blocks[static_cast<std::size_t>(index >> kBlockShift)]->Slot(
        static_cast<int>(index & (kBlockSize - 1)));
}

TFPoint &TFList::Room::Next()
{
    if (!m_open)
        m_open = new (m_list.Slot(m_first + m_kept)) TFPoint();
    return *m_open;
}

bool TFList::FillInParallel(const std::vector<std::int64_t> &sizes,
                            const std::function<void(std::size_t, Room &)> &read)
{
    const std::size_t pieces = sizes.size();
    // first[k]: where piece k's room starts.
    std::vector<std::int64_t> first(pieces + 1, 0);
    for (std::size_t k = 0; k < pieces; ++k)
        first[k + 1] = first[k] + sizes[k];
    const std::int64_t rooms = first[pieces];
    if (rooms >= INT_MAX)
        return false;

    Clear();
    for (std::int64_t room = 0; room < rooms; room += kBlockSize) {
        m_blocks.push_back(FreshBlock());
        if (rooms - room > Block::kHugeFrom)
            m_blocks.back()->AdviseLarge();
    }

    struct Piece
    {
        std::int64_t kept = 0;
        std::exception_ptr error;
    };
    std::vector<Piece> results(pieces);
    std::atomic<std::size_t> failed{pieces};
    tbb::parallel_for(
        tbb::blocked_range<std::size_t>(0, pieces, 1),
        [&](const tbb::blocked_range<std::size_t> &range) {
            for (std::size_t k = range.begin(); k != range.end(); ++k) {
                Room room(*this, first[k], k, failed);
                try {
                    if (!room.Abandoned())
                        read(k, room);
                } catch (...) {
                    results[k].error = std::current_exception();
                    std::size_t known = failed.load();
                    while (k < known && !failed.compare_exchange_weak(known, k)) {
                    }
                }
                if (room.m_open)
                    room.m_open->~TFPoint();
                results[k].kept = room.m_kept;
            }
        },
        tbb::simple_partitioner());

    // The first piece that failed ends the list; the records after it go.
    const std::size_t last = failed.load();
    for (std::size_t k = last + 1; k < pieces; ++k)
        for (std::int64_t i = 0; i < results[k].kept; ++i)
            Slot(first[k] + i)->~TFPoint();
    std::int64_t count = 0;
    for (std::size_t k = 0; k < pieces && k <= last; ++k) {
        if (first[k] != count) {
            for (std::int64_t i = 0; i < results[k].kept; ++i) {
                TFPoint *from = Slot(first[k] + i);
                new (Slot(count + i)) TFPoint(std::move(*from));
                from->~TFPoint();
            }
        }
        count += results[k].kept;
    }
    m_count = static_cast<int>(count);
    while (!m_blocks.empty() && static_cast<std::int64_t>(m_blocks.size() - 1) * kBlockSize >= count)
        m_blocks.pop_back();
    for (std::size_t b = 0; b < m_blocks.size(); ++b)
        m_blocks[b]->Adopt(static_cast<int>(
            std::min<std::int64_t>(kBlockSize, count - static_cast<std::int64_t>(b) * kBlockSize)));
    if (last < pieces)
        std::rethrow_exception(results[last].error);
    return true;
}

// The text after the header in pieces that end with a line: their lines are counted (all
// pieces at once), which gives every piece its first line number and its room in the
// list; then the pieces are read into their rooms on all cores. False, with nothing done,
// when the text has more lines than a list can index.
bool TFList::LoadInParallel(std::string_view bytes, std::size_t body, const LoadSplit &split)
{
    const std::vector<std::size_t> starts = SplitAtLines(bytes, body, split.chunkBytes);
    const std::size_t pieces = starts.size() - 1;
    std::vector<std::int64_t> lines(pieces);
    tbb::parallel_for(std::size_t{0}, pieces,
                      [&](std::size_t k) { lines[k] = CountLines(bytes, starts[k], starts[k + 1]); });
    std::vector<std::int64_t> firstLine(pieces, 2); // line 1 is the header
    for (std::size_t k = 1; k < pieces; ++k)
        firstLine[k] = firstLine[k - 1] + lines[k - 1];
    return FillInParallel(lines, [&](std::size_t k, Room &room) {
        long long line = firstLine[k];
        for (std::size_t pos = starts[k]; pos < starts[k + 1] && !room.Abandoned(); ++line) {
            const std::size_t end = FindLineEnd(bytes, pos);
            const std::string_view text = bytes.substr(pos, end - pos);
            pos = SkipLineEnd(bytes, end);
            try {
                if (room.Next().ParseLine(text))
                    room.Keep();
            } catch (const ConvertError &error) {
                throw QuoteLineError(error, line);
            }
        }
    });
}

void TFList::SetFigures(const ListFigures &f)
{
    MaxOpen = f.MaxOpen;
    MinOpen = f.MinOpen;
    MaxHigh = f.MaxHigh;
    MinHigh = f.MinHigh;
    MaxLow = f.MaxLow;
    MinLow = f.MinLow;
    MaxClose = f.MaxClose;
    MinClose = f.MinClose;
    MaxVolume = f.MaxVolume;
    AvgChange = f.AvgChange();
}

namespace {

// Merges the extremes of a later run of items into those of the runs before it, each
// taken only when strictly greater (smaller): runs merged in list order give what one
// pass over the items gives.
void MergeExtremes(ListFigures &into, const ListFigures &from)
{
    auto max = [](double &m, double v) { if (v > m) m = v; };
    auto min = [](double &m, double v) { if (v < m) m = v; };
    max(into.MaxOpen, from.MaxOpen), min(into.MinOpen, from.MinOpen);
    max(into.MaxHigh, from.MaxHigh), min(into.MinHigh, from.MinHigh);
    max(into.MaxLow, from.MaxLow), min(into.MinLow, from.MinLow);
    max(into.MaxClose, from.MaxClose), min(into.MinClose, from.MinClose);
    max(into.MaxVolume, from.MaxVolume);
}

// What the swing follower leaves on an item: nothing, the item's close, or 0.
enum PivotMark : std::uint8_t { kPivotUntouched, kPivotClose, kPivotZero };

constexpr int kStatisticsPiece = 1 << 16;

} // namespace

// Three passes, so that the two that touch the records run on all cores: the closes and
// the extremes of every piece of the list; then, on one thread over the compact closes
// only, the change sum (added in list order) and the swing follower; then MA3 and the
// pivots into the records.
void TFList::Statistics()
{
    ResetStatistics();
    double *const closes = TakeCloses();
    const int n = m_count;
    const int pieces = (n + kStatisticsPiece - 1) / kStatisticsPiece;
    std::vector<ListFigures> extremes(static_cast<std::size_t>(pieces));
    tbb::parallel_for(0, pieces, [&](int k) {
        ListFigures &e = extremes[static_cast<std::size_t>(k)];
        ForEachBetween(k * kStatisticsPiece, (k + 1) * kStatisticsPiece, [&](const TFPoint &p, int i) {
            closes[i] = p.Close;
            IncludeExtremes(e, p);
        });
    });
    ListFigures all;
    for (const ListFigures &e : extremes)
        MergeExtremes(all, e);
    MaxOpen = all.MaxOpen, MinOpen = all.MinOpen, MaxHigh = all.MaxHigh, MinHigh = all.MinHigh;
    MaxLow = all.MaxLow, MinLow = all.MinLow, MaxClose = all.MaxClose, MinClose = all.MinClose;
    MaxVolume = all.MaxVolume;

    // The swing follower: rising at the start, the last extreme starting at Close(0).
    // A swing that goes on marks the item and clears the item before it; one that turns
    // marks the item; an equal close clears the item.
    std::vector<std::uint8_t> marks(static_cast<std::size_t>(n), kPivotUntouched);
    double changeSum = 0;
    bool rising = true;
    double extreme = n > 0 ? closes[0] : 0;
    for (int i = 1; i < n; ++i) {
        const double c = closes[i];
        changeSum += std::fabs(closes[i - 1] - c);
        if ((rising && c > extreme) || (!rising && c < extreme)) {
            extreme = c;
            marks[static_cast<std::size_t>(i)] = kPivotClose;
            marks[static_cast<std::size_t>(i - 1)] = kPivotZero;
        } else if ((rising && c < extreme) || (!rising && c > extreme)) {
            extreme = c;
            marks[static_cast<std::size_t>(i)] = kPivotClose;
            rising = !rising;
        } else {
            marks[static_cast<std::size_t>(i)] = kPivotZero;
        }
    }

    tbb::parallel_for(0, pieces, [&](int k) {
        ForEachBetween(k * kStatisticsPiece, (k + 1) * kStatisticsPiece, [&](const TFPoint &item, int i) {
            TFPoint &p = const_cast<TFPoint &>(item);
            const double c = closes[i];
            p.MA3 = i >= 2 ? (closes[i - 2] + closes[i - 1] + c) / 3 : c;
            if (i >= 1)
                p.PivotEnabled = true;
            const std::uint8_t mark = marks[static_cast<std::size_t>(i)];
            if (mark != kPivotUntouched)
                p.Pivot = mark == kPivotClose ? c : 0;
        });
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
