#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <vector>

// How the statement that filled a column would order it, so that the rows can be re-sorted without running it
// again. Unknown: the values or the collation are not known well enough; only the statement can sort them.
enum class ColumnOrder : uint8_t { Unknown, Numeric, Text, TextNoCase };

// The rows of a long list, kept as the engine hands them over: UTF-8, every cell behind a one-byte length, rows in
// chunks of about a megabyte. A row costs its text plus one byte a cell and eight bytes; cells become QStrings only
// when they are shown.
class PackedRows {
public:
    explicit PackedRows(int columns = 0);
    PackedRows(PackedRows&&) noexcept;
    PackedRows& operator=(PackedRows&&) noexcept;
    ~PackedRows();

    int columnCount() const { return m_columns; }
    int rowCount() const { return static_cast<int>(m_rowStarts.size()); }

    // Appending: a row is begun, then given exactly columnCount() cells.
    void beginRow();
    void appendCell(const char* utf8, qsizetype size);
    void appendCell(const QString& text);
    void appendNull();
    // Releases the slack of the last chunk once the rows are all in.
    void finish();

    bool isNull(int row, int col) const;
    QByteArrayView cell(int row, int col) const; // empty for Null
    QString text(int row, int col) const;
    // A cell as a key: a number where it reads as one (ids), else its text; Null gives an invalid QVariant.
    QVariant key(int row, int col) const;
    // A new value for one cell: the row is written anew at the end; its old bytes stay unused.
    void setCell(int row, int col, const QString& text);

    // How each column sorts; Unknown unless the reader knew.
    ColumnOrder order(int col) const;
    void setOrder(int col, ColumnOrder order);
    // The row numbers in the order a statement sorting by col would give, Null first when ascending; rows that
    // compare equal keep their present order. Only the rows of present take part, or all when it is empty. Empty
    // when the column's order is Unknown.
    std::vector<uint32_t> sorted(int col, bool descending, const std::vector<uint32_t>& present) const;

private:
    struct Chunk;
    const uint8_t* rowAt(int row) const;
    uint8_t* reserve(size_t bytes);

    int m_columns = 0;
    std::vector<std::unique_ptr<Chunk>> m_chunks;
    std::vector<uint64_t> m_rowStarts; // chunk index << 32 | offset in the chunk
    std::vector<ColumnOrder> m_orders;
    // The row being appended: where its length bytes are and how many cells it has so far.
    uint64_t m_open = 0;
    int m_openCells = 0;
};
