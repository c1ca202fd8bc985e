#pragma once

// The quotes: one record per line of a quote file (`TFPoint`, which also summarises a
// P&F column) and the list that loads them and computes their statistics (`TFList`).

#include "blockmemory.h"
#include "numtext.h"
#include "quotedate.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvala {

// One quote of a quote file, or the summary of one P&F column.
// A new record has every number 0, every text empty and every flag false.
//
// The prices and the date-time come first and a record spans three whole cache lines,
// so a sweep over a million quotes reads one line per quote. The two texts that only
// column records carry live outside the record.
struct alignas(64) TFPoint final
{
    double Close = 0;
    double Open = 0;
    double Low = 0;
    double Volume = 0;
    double High = 0;
    double DateTime = 0;      // days since 1899-12-30, fraction = time of day
    std::string DateText;     // date and time fields as written, joined by one blank
    int Direction = 0;        // column records: 1 for an X column, -1 for an O column
    bool PivotEnabled = false;
    double XOP = 0;
    double COP = 0;
    double OP = 0;
    double MA3 = 0;
    double Pivot = 0;         // Close when the item ends a swing, else 0
    double Retrace681 = 0;
    double Retrace382 = 0;

    // Column records: the date text of the quote that opened the column, and that of
    // the latest quote taken into it followed by " - UP" or " - DOWN". Empty otherwise.
    std::string_view PeriodStart() const;
    std::string_view PeriodEnd() const;
    void SetPeriodStart(std::string_view text);
    void SetPeriodEnd(std::string_view text);
    void SetPeriod(std::string_view start, std::string_view end, std::string_view endTail = {});

    // Fills the record from one line of a quote file (cp1251 bytes). False, with the
    // record unchanged, for a line of fewer than seven ';'-separated fields. Throws
    // ConvertError for a bad number or an impossible date or time; the fields assigned
    // before the failing one keep their new values.
    bool ParseLine(std::string_view line);

private:
    // Both texts in one allocation: their lengths, then their characters.
    // Both texts in 40 bytes of the record when they fit together (date texts do),
    // else in one allocation that starts with their two lengths.
    class PeriodTexts final
    {
    public:
        PeriodTexts() = default;
        PeriodTexts(const PeriodTexts &other);
        PeriodTexts &operator=(const PeriodTexts &other);
        PeriodTexts(PeriodTexts &&other) noexcept;
        PeriodTexts &operator=(PeriodTexts &&other) noexcept;
        ~PeriodTexts();

        std::string_view Start() const;
        std::string_view End() const;
        // The end text may come in two pieces (a date text and its " - UP").
        void Set(std::string_view start, std::string_view end, std::string_view endTail = {});

    private:
        static constexpr std::size_t kInline = 38;
        static constexpr unsigned char kOnHeap = 0xFF;

        bool OnHeap() const { return m_startLength == kOnHeap; }
        void Release();

        union {
            char m_inline[kInline] = {};
            char *m_heap;
        };
        unsigned char m_startLength = 0; // kOnHeap: the texts are on the heap
        unsigned char m_endLength = 0;
    };
    PeriodTexts m_period;
};

// A line of a quote file that cannot be read: the conversion error's own text, the
// number of the line (the header is line 1) and, once the opener adds it, the file.
class QuoteLineError final : public ConvertError
{
public:
    QuoteLineError(const ConvertError &error, long long line)
        : ConvertError(error), m_line(line) {}
    long long Line() const { return m_line; }
    const std::string &File() const { return m_file; }
    void SetFile(std::string path) { m_file = std::move(path); }
    // Where the error lies, for a second line under its text: "quotes.txt, line 2".
    std::string Location() const;

private:
    long long m_line;
    std::string m_file;
};

// Where the minima of a list's statistics start (and stay when no record is lower).
inline constexpr double kListMinStart = 1000000000.0;

// Takes a record into the extremes of its prices and the largest volume, for a list or
// for a run of records (maxima start at 0, minima at kListMinStart).
template <class Figures>
inline void IncludeExtremes(Figures &f, const TFPoint &p)
{
    if (p.Open > f.MaxOpen) f.MaxOpen = p.Open;
    if (p.Open < f.MinOpen) f.MinOpen = p.Open;
    if (p.High > f.MaxHigh) f.MaxHigh = p.High;
    if (p.High < f.MinHigh) f.MinHigh = p.High;
    if (p.Low > f.MaxLow) f.MaxLow = p.Low;
    if (p.Low < f.MinLow) f.MinLow = p.Low;
    if (p.Close > f.MaxClose) f.MaxClose = p.Close;
    if (p.Close < f.MinClose) f.MinClose = p.Close;
    if (p.Volume > f.MaxVolume) f.MaxVolume = p.Volume;
}

// The list-wide figures of a run of records as TFList::Statistics computes them, kept up
// record by record: the extremes, the largest volume and the average change of the close.
struct ListFigures
{
    double MaxOpen = 0, MaxHigh = 0, MaxLow = 0, MaxClose = 0, MaxVolume = 0;
    double MinOpen = kListMinStart, MinHigh = kListMinStart;
    double MinLow = kListMinStart, MinClose = kListMinStart;
    double changeSum = 0;
    double lastClose = 0;
    int count = 0;

    void Include(const TFPoint &p)
    {
        IncludeExtremes(*this, p);
        if (count > 0)
            changeSum += std::fabs(lastClose - p.Close);
        lastClose = p.Close;
        ++count;
    }
    double AvgChange() const { return count >= 1 ? changeSum / count : 0; }
};

// Ordered, index-addressed list of records with list-wide statistics.
//
// Records live in fixed-size blocks that never move, so a reference to a record stays
// valid while the list grows. Clear() drops the list's references; a record handed out
// through Share() stays readable for as long as that handle lives (the cursor window
// keeps showing a column record of an earlier build).
class TFList final
{
public:
    static constexpr double kMinStart = kListMinStart;

    double MaxLow = 0;
    double MaxClose = 0;
    double MaxHigh = 0;
    double MaxOpen = 0;
    double MinLow = kMinStart;
    double MinOpen = kMinStart;
    double MinClose = kMinStart;
    double MinHigh = kMinStart;
    double AvgChange = -1;
    double MaxVolume = 0;
    int LevelDepth = 0;

    TFList();
    ~TFList();
    TFList(const TFList &) = delete;
    TFList &operator=(const TFList &) = delete;

    int Count() const { return m_count; }
    // The record at index, or nullptr when index < 0 or index >= Count().
    TFPoint *Items(int index);
    const TFPoint *Items(int index) const;
    // The record at index for callers that must keep it past the next Clear().
    std::shared_ptr<const TFPoint> Share(int index) const;

    TFPoint &AddNew();
    // Drops the last record (there must be one).
    void RemoveLast();
    void Clear();

    // How a load shares a file out between threads: the text after the header is cut
    // into pieces of about chunkBytes, each ending with a line, which are read on all
    // cores and joined in file order. A text shorter than parallelFrom bytes is read in
    // one pass on the calling thread. Either way the result is the same.
    struct LoadSplit
    {
        std::size_t chunkBytes = std::size_t{1} << 20;
        std::size_t parallelFrom = std::size_t{2} << 20;
    };

    // A piece's room in the list while pieces are read at once (FillInParallel).
    class Room final
    {
    public:
        // A fresh record at the end of the room; the one given last and not kept is
        // given again.
        TFPoint &Next();
        // Keeps the record Next() gave last.
        void Keep() { ++m_kept, m_open = nullptr; }
        // Whether an earlier piece has failed: what this one reads would go.
        bool Abandoned() const { return m_failed.load(std::memory_order_relaxed) < m_piece; }

    private:
        friend class TFList;
        Room(TFList &list, std::int64_t first, std::size_t piece, const std::atomic<std::size_t> &failed)
            : m_list(list), m_first(first), m_piece(piece), m_failed(failed)
        {
        }
        TFList &m_list;
        std::int64_t m_first;
        std::size_t m_piece;
        const std::atomic<std::size_t> &m_failed; // the first piece that failed
        std::int64_t m_kept = 0;
        TFPoint *m_open = nullptr;
    };

    // Replaces the records with those of pieces read at once on all cores and joined in
    // piece order: read(k, room) writes piece k's records, at most sizes[k] of them. An
    // exception from a piece ends the list with what that piece kept before it; the
    // pieces after it are dropped, and the first exception in piece order is rethrown.
    // False, with nothing done, when the sizes add up to more than a list can index.
    bool FillInParallel(const std::vector<std::int64_t> &sizes,
                        const std::function<void(std::size_t, Room &)> &read);

    // Replaces the contents with the quotes of a quote file held in memory (cp1251).
    // Throws QuoteLineError on a faulty line (the first in the file when several are):
    // the quotes before it stay, nothing after it is kept, the statistics are not run
    // and the list-wide fields keep their start values. (The program loads into a list
    // of its own and takes it over only when the whole file has loaded.) Returns true.
    bool LoadFromStream(std::string_view bytes) { return LoadFromStream(bytes, LoadSplit{}); }
    bool LoadFromStream(std::string_view bytes, const LoadSplit &split);

    // Exchanges the records and the list-wide figures with other; LevelDepth stays.
    void Swap(TFList &other) noexcept;

    void Statistics();
    void CalcLevels();

    // The closes of the items in list order, in one compact array beside the records,
    // for the builds that walk only the closes (8 bytes a quote instead of a record's
    // cache line). Statistics() takes them; items appended since are taken on demand. A
    // close changed in place shows here after the next Statistics(), as it does in the
    // list-wide figures.
    std::span<const double> Closes() const;
    void SetLevelDepth(int n) { LevelDepth = n; }

    // True once Statistics has run over the current contents (false after a load that
    // stopped on a faulty line, whose extremes still hold their start values).
    bool HasStatistics() const { return AvgChange >= 0; }

    void ResetStatistics();
    // The list-wide figures (LevelDepth aside) := those of figures.
    void SetFigures(const ListFigures &figures);

    // Visits every record in list order with its index; faster than Items() in a loop.
    template <class F>
    void ForEach(F &&visit)
    {
        std::as_const(*this).ForEachFrom(0, [&visit](const TFPoint &p, int index) {
            visit(const_cast<TFPoint &>(p), index);
        });
    }
    template <class F>
    void ForEach(F &&visit) const
    {
        ForEachFrom(0, std::forward<F>(visit));
    }

    // The same from index first on. The prices of a record lie in its first 40 bytes;
    // fetching them a few records ahead keeps a sweep over a million quotes from
    // waiting on memory.
    template <class F>
    void ForEachFrom(int first, F &&visit) const
    {
        ForEachBetween(first, m_count, std::forward<F>(visit));
    }

    // The same for the indexes from first up to, not including, end.
    template <class F>
    void ForEachBetween(int first, int end, F &&visit) const
    {
        if (first < 0)
            first = 0;
        if (end > m_count)
            end = m_count;
        int index = first;
        for (std::size_t b = static_cast<std::size_t>(first >> kBlockShift); index < end; ++b) {
            const TFPoint *items = &(*m_blocks[b])[0];
            const int n = std::min(kBlockSize, end - (static_cast<int>(b) << kBlockShift));
            // Fetching past the block's last record is harmless: the block's address
            // space is reserved to its full capacity.
            const char *ahead = reinterpret_cast<const char *>(items + kPrefetchAhead);
            for (int j = index & (kBlockSize - 1); j < n; ++j, ++index) {
                PrefetchForRead(ahead + j * sizeof(TFPoint));
                PrefetchForRead(ahead + j * sizeof(TFPoint) + 40);
                visit(items[j], index);
            }
        }
    }

private:
    static constexpr int kPrefetchAhead = 16;
    static constexpr int kBlockShift = 18;
    static constexpr int kBlockSize = 1 << kBlockShift;

    // A fixed-capacity run of records that never moves (its memory from blockmemory.h).
    class Block final
    {
    public:
        Block();
        ~Block();
        Block(const Block &) = delete;
        Block &operator=(const Block &) = delete;
        TFPoint &operator[](int i) { return m_items[i]; }
        // Raw room for record i, for a loader that constructs the records itself and
        // then hands them over with Adopt (the first size slots then hold records).
        TFPoint *Slot(int i) { return m_items + i; }
        void Adopt(int size) { m_size = size, m_touched = std::max(m_touched, size); }
        // Records past one huge page's worth: the block asks for huge pages.
        static constexpr int kHugeFrom = static_cast<int>(kHugePageBytes / sizeof(TFPoint));
        void AdviseLarge();
        TFPoint &emplace_back();
        void pop_back();
        void clear();
        bool empty() const { return m_size == 0; }
        // How many slots have held a record: their pages are the block's.
        int Touched() const { return m_touched; }

    private:
        TFPoint *m_items = nullptr;
        int m_size = 0;
        int m_touched = 0;
    };

    TFPoint *Slot(std::int64_t index);
    // A block for the list to fill: its own spare, one a list on this thread let go of,
    // or a new one.
    std::shared_ptr<Block> FreshBlock();
    static std::vector<std::shared_ptr<Block>> &ThreadSpares();
    static void KeepSpare(std::shared_ptr<Block> block);
    void LoadLines(std::string_view bytes, std::size_t pos, long long lineNumber);
    bool LoadInParallel(std::string_view bytes, std::size_t body, const LoadSplit &split);

    std::vector<std::shared_ptr<Block>> m_blocks;
    // The compact closes, in block memory (huge pages: a million closes in four faults).
    mutable BlockBuffer m_closes;
    double *TakeCloses() const;
    // A block that Clear() emptied and nobody else held: the next fill reuses its pages.
    std::shared_ptr<Block> m_spare;
    int m_count = 0;
};

} // namespace korvala
