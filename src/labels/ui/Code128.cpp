#include "labels/ui/Code128.h"

#include "data/QuotedValue.h"
#include "platform/Printer.h"

#include <memory>
#include <zint.h>

namespace {
// The quiet zone Code 128 asks for on each side, in modules.
constexpr int kQuietModules = 10;
// Beyond this the bars of a label-sized code become too thin to scan.
constexpr qsizetype kMostCharacters = 48;

QString refusal(const QString& text, const QString& why) {
    return QStringLiteral("\"%1\" cannot be printed as a Code 128 bar code: %2").arg(quotedValue(text), why);
}
} // namespace

Code128 Code128::encode(const QString& text) {
    if (text.isEmpty())
        throw PrintError(QStringLiteral("An empty code cannot be printed as a Code 128 bar code."));
    // Code 128 carries Latin-1 through shift codes, but scanners type those back as something else; a label whose
    // scan differs from the record is worse than none.
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            throw PrintError(refusal(text, QStringLiteral("it holds the character \"%1\"; only letters A-Z, digits, "
                                                          "spaces and ASCII punctuation can be scanned back.")
                                               .arg(c)));
    if (text.size() > kMostCharacters)
        throw PrintError(refusal(text, QStringLiteral("it is longer than %1 characters.").arg(kMostCharacters)));

    const std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol)
        throw PrintError(QStringLiteral("The bar code library could not start."));
    symbol->symbology = BARCODE_CODE128;
    symbol->whitespace_width = kQuietModules;
    symbol->show_hrt = 0; // the label sets its own text
    symbol->input_mode = DATA_MODE;
    const QByteArray data = text.toLatin1();
    int status = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.constData()),
                                 static_cast<int>(data.size()));
    if (status < ZINT_ERROR)
        status = ZBarcode_Buffer_Vector(symbol.get(), 0);
    if (status >= ZINT_ERROR || symbol->vector == nullptr)
        throw PrintError(refusal(text, QString::fromLatin1(symbol->errtxt)));

    // zint's vector units depend on its scale; the symbol's width in modules fixes the unit.
    const zint_vector& vector = *symbol->vector;
    const double modules = symbol->width + 2.0 * kQuietModules;
    const double unit = vector.width / modules;
    Code128 code;
    code.width = modules;
    code.height = vector.height / unit;
    for (const zint_vector_rect* r = vector.rectangles; r != nullptr; r = r->next)
        code.bars.emplace_back(r->x / unit, r->y / unit, r->width / unit, r->height / unit);
    if (code.bars.empty())
        throw PrintError(refusal(text, QStringLiteral("the bar code library drew no bars.")));
    return code;
}
