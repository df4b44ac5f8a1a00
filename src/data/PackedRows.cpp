#include "data/PackedRows.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {
constexpr size_t kChunkBytes = size_t(1) << 20;
// Length bytes: up to kMaxShort the cell's size itself; kNull a Null; kLong a size in the four bytes that follow.
constexpr uint8_t kMaxShort = 252;
constexpr uint8_t kNull = 253;
constexpr uint8_t kLong = 255;

uint32_t readLong(const uint8_t* p) {
    uint32_t n;
    std::memcpy(&n, p, sizeof n);
    return n;
}

// SQLite's NOCASE folds ASCII letters only.
int compareNoCase(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        uint8_t x = static_cast<uint8_t>(a[i]);
        uint8_t y = static_cast<uint8_t>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z')
            y += 'a' - 'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareBinary(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    const int c = n ? std::memcmp(a.data(), b.data(), static_cast<size_t>(n)) : 0;
    if (c != 0)
        return c;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}
} // namespace

struct PackedRows::Chunk {
    std::unique_ptr<uint8_t[]> data;
    size_t used = 0;
    size_t capacity = 0;
};

PackedRows::PackedRows(int columns) : m_columns(columns), m_orders(static_cast<size_t>(columns)) {}
PackedRows::PackedRows(PackedRows&&) noexcept = default;
PackedRows& PackedRows::operator=(PackedRows&&) noexcept = default;
PackedRows::~PackedRows() = default;

uint8_t* PackedRows::reserve(size_t bytes) {
    if (m_chunks.empty() || m_chunks.back()->capacity - m_chunks.back()->used < bytes) {
        if (m_chunks.size() >= UINT32_MAX)
            throw std::length_error("list too long");
        auto chunk = std::make_unique<Chunk>();
        chunk->capacity = std::max(kChunkBytes, bytes);
        chunk->data.reset(new uint8_t[chunk->capacity]);
        m_chunks.push_back(std::move(chunk));
    }
    Chunk& c = *m_chunks.back();
    uint8_t* at = c.data.get() + c.used;
    m_open = (uint64_t(m_chunks.size() - 1) << 32) | c.used;
    c.used += bytes;
    return at;
}

// A row is built in place: its length bytes first, its cells after them. Should a cell not fit in the chunk, the
// row so far moves to a fresh chunk, so that a row never spans two.
void PackedRows::beginRow() {
    uint8_t* lengths = reserve(static_cast<size_t>(m_columns));
    std::memset(lengths, kNull, static_cast<size_t>(m_columns));
    m_rowStarts.push_back(m_open);
    m_openCells = 0;
}

namespace {
size_t cellBytes(qsizetype size) {
    return static_cast<size_t>(size) + (size > kMaxShort ? 4 : 0);
}
} // namespace

void PackedRows::appendCell(const char* utf8, qsizetype size) {
    if (size > qsizetype(UINT32_MAX))
        throw std::length_error("cell too long");
    const size_t need = cellBytes(size);
    Chunk* c = m_chunks.back().get();
    const uint64_t start = m_rowStarts.back();
    if (c->capacity - c->used < need) {
        // Move the row begun so far into a fresh chunk with room for it and this cell.
        const size_t sofar = c->used - static_cast<uint32_t>(start);
        std::unique_ptr<uint8_t[]> copy(new uint8_t[std::max<size_t>(sofar, 1)]);
        std::memcpy(copy.get(), c->data.get() + static_cast<uint32_t>(start), sofar);
        c->used -= sofar;
        uint8_t* row = reserve(sofar + need);
        std::memcpy(row, copy.get(), sofar);
        c = m_chunks.back().get();
        c->used -= need;
        m_rowStarts.back() = m_open;
    }
    uint8_t* row = c->data.get() + static_cast<uint32_t>(m_rowStarts.back());
    uint8_t* at = c->data.get() + c->used;
    if (size > kMaxShort) {
        row[m_openCells] = kLong;
        const uint32_t n = static_cast<uint32_t>(size);
        std::memcpy(at, &n, sizeof n);
        at += sizeof n;
    } else {
        row[m_openCells] = static_cast<uint8_t>(size);
    }
    if (size)
        std::memcpy(at, utf8, static_cast<size_t>(size));
    c->used += need;
    ++m_openCells;
}

void PackedRows::appendCell(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    appendCell(utf8.constData(), utf8.size());
}

void PackedRows::appendNull() {
    ++m_openCells; // the length byte already says Null
}

void PackedRows::finish() {
    if (m_chunks.empty())
        return;
    Chunk& c = *m_chunks.back();
    if (c.capacity - c.used < 4096)
        return;
    std::unique_ptr<uint8_t[]> fitted(new uint8_t[std::max<size_t>(c.used, 1)]);
    std::memcpy(fitted.get(), c.data.get(), c.used);
    c.data = std::move(fitted);
    c.capacity = c.used;
}

const uint8_t* PackedRows::rowAt(int row) const {
    const uint64_t start = m_rowStarts[static_cast<size_t>(row)];
    return m_chunks[start >> 32]->data.get() + static_cast<uint32_t>(start);
}

bool PackedRows::isNull(int row, int col) const {
    return rowAt(row)[col] == kNull;
}

QByteArrayView PackedRows::cell(int row, int col) const {
    const uint8_t* lengths = rowAt(row);
    const uint8_t* p = lengths + m_columns;
    for (int i = 0;; ++i) {
        const uint8_t len = lengths[i];
        size_t size = 0;
        if (len == kLong) {
            size = readLong(p);
            p += 4;
        } else if (len != kNull) {
            size = len;
        }
        if (i == col)
            return QByteArrayView(reinterpret_cast<const char*>(p), static_cast<qsizetype>(size));
        p += size;
    }
}

QString PackedRows::text(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns)
        return {};
    return QString::fromUtf8(cell(row, col));
}

QVariant PackedRows::key(int row, int col) const {
    if (row < 0 || row >= rowCount() || col < 0 || col >= m_columns || isNull(row, col))
        return {};
    bool ok = false;
    const qlonglong id = cell(row, col).toLongLong(&ok);
    return ok ? QVariant(id) : QVariant(text(row, col));
}

void PackedRows::setCell(int row, int col, const QString& text) {
    std::vector<QByteArray> cells;
    std::vector<bool> nulls;
    for (int c = 0; c < m_columns; ++c) {
        nulls.push_back(c != col && isNull(row, c));
        cells.push_back(c == col ? text.toUtf8() : cell(row, c).toByteArray());
    }
    const uint64_t keep = m_rowStarts[static_cast<size_t>(row)];
    beginRow();
    for (int c = 0; c < m_columns; ++c) {
        if (nulls[static_cast<size_t>(c)])
            appendNull();
        else
            appendCell(cells[static_cast<size_t>(c)].constData(), cells[static_cast<size_t>(c)].size());
    }
    m_rowStarts[static_cast<size_t>(row)] = m_rowStarts.back();
    m_rowStarts.back() = keep;
    m_rowStarts.pop_back();
}

ColumnOrder PackedRows::order(int col) const {
    return col >= 0 && col < m_columns ? m_orders[static_cast<size_t>(col)] : ColumnOrder::Unknown;
}

void PackedRows::setOrder(int col, ColumnOrder order) {
    if (col >= 0 && col < m_columns)
        m_orders[static_cast<size_t>(col)] = order;
}

namespace {
// The first eight bytes of a text as a number that orders as the bytes do (folded as NOCASE folds, where asked), so
// most comparisons never leave the array being sorted.
uint64_t textPrefix(QByteArrayView text, bool fold) {
    uint64_t key = 0;
    for (qsizetype i = 0; i < 8; ++i) {
        uint8_t c = i < text.size() ? static_cast<uint8_t>(text[i]) : 0;
        if (fold && c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        key = (key << 8) | c;
    }
    return key;
}

// A double as a number that orders as the double does.
uint64_t numberKey(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return (bits & (uint64_t(1) << 63)) ? ~bits : bits | (uint64_t(1) << 63);
}

long double numberOf(QByteArrayView text) {
    return std::strtold(text.toByteArray().constData(), nullptr);
}
} // namespace

std::vector<uint32_t> PackedRows::sorted(int col, bool descending, const std::vector<uint32_t>& present) const {
    const ColumnOrder kind = order(col);
    if (kind == ColumnOrder::Unknown)
        return {};
    const size_t n = present.empty() ? m_rowStarts.size() : present.size();
    const auto rowAtPosition = [&](size_t i) { return present.empty() ? static_cast<uint32_t>(i) : present[i]; };
    struct Entry {
        uint64_t key;
        uint32_t row;
        uint32_t position; // in the present order: equal rows keep it
    };
    std::vector<uint32_t> nulls;
    std::vector<Entry> entries;
    entries.reserve(n);
    const bool fold = kind == ColumnOrder::TextNoCase;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t row = rowAtPosition(i);
        if (isNull(static_cast<int>(row), col)) {
            nulls.push_back(row);
            continue;
        }
        const QByteArrayView value = cell(static_cast<int>(row), col);
        const uint64_t key =
            kind == ColumnOrder::Numeric ? numberKey(static_cast<double>(numberOf(value))) : textPrefix(value, fold);
        entries.push_back({key, row, static_cast<uint32_t>(i)});
    }
    const auto full = [&](const Entry& a, const Entry& b) {
        const QByteArrayView x = cell(static_cast<int>(a.row), col);
        const QByteArrayView y = cell(static_cast<int>(b.row), col);
        if (kind == ColumnOrder::Numeric) {
            const long double p = numberOf(x), q = numberOf(y);
            return p == q ? 0 : (p < q ? -1 : 1);
        }
        return fold ? compareNoCase(x, y) : compareBinary(x, y);
    };
    std::sort(entries.begin(), entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.key != b.key)
            return descending ? a.key > b.key : a.key < b.key;
        const int c = full(a, b);
        if (c != 0)
            return descending ? c > 0 : c < 0;
        return a.position < b.position;
    });
    // Null sorts first ascending, last descending; among themselves they keep their order.
    std::vector<uint32_t> rows;
    rows.reserve(n);
    if (!descending)
        rows.insert(rows.end(), nulls.begin(), nulls.end());
    for (const Entry& e : entries)
        rows.push_back(e.row);
    if (descending)
        rows.insert(rows.end(), nulls.begin(), nulls.end());
    return rows;
}
