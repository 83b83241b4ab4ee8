#include "output/export/htmldocumentfilter.h"

#include "platform/colour.h"
#include "platform/cp1252.h"
#include "platform/fileerror.h"
#include "platform/fontmetrics.h"
#include "platform/fonts.h"
#include "platform/textrun.h"

#include <QByteArray>
#include <QFile>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace output {

namespace {

constexpr unsigned faceBits = platform::fsBold | platform::fsItalic;
constexpr const char *fontFamily = "TavleSans";
constexpr qint64 copyChunk = 1 << 20;
// Every text line holds an empty inline block this tall whose bottom is the line's baseline, so
// that the baseline lies exactly this far below the text's box, whatever vertical metrics the
// browser takes from the font.
constexpr double strutMM = 10;

void appendNumber(std::string &out, double value)
{
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed, 3);
    out.append(buffer.data(), ec == std::errc{} ? end : buffer.data());
}

std::string faceClass(unsigned face)
{
    std::string classes;
    if (face & platform::fsBold)
        classes += " b";
    if (face & platform::fsItalic)
        classes += " i";
    return classes;
}

std::string paperSize(double widthMM, double lengthMM)
{
    if (std::abs(widthMM - 210) < 0.5 && std::abs(lengthMM - 297) < 0.5)
        return "A4";
    std::string size;
    appendNumber(size, widthMM);
    size += "mm ";
    appendNumber(size, lengthMM);
    return size + "mm";
}

} // namespace

TBRGHTMLDocumentFilter::TBRGHTMLDocumentFilter(std::filesystem::path file)
    : TBRExportFilter(std::move(file)), canvas_(PixelsPerInchX(), PixelsPerInchY())
{}

TBRGHTMLDocumentFilter::~TBRGHTMLDocumentFilter() { abandon(); }

std::string TBRGHTMLDocumentFilter::EscapeText(std::string_view cp1252)
{
    const std::string utf8 = platform::cp1252ToUtf8(cp1252);
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

void TBRGHTMLDocumentFilter::openDocument()
{
    // The target's folder is asked first, so that a file that cannot be written is said before
    // the run.
    save_ = std::make_unique<platform::TSaveFile>(FileName());
    pages_ = std::make_unique<QTemporaryFile>();
    errno = 0;
    if (!pages_->open())
        throw platform::EFileNotWritten(FileName(), errno);
    faces_.clear();
    documentTitle_ = SectionTitle();
    firstPageWidthMM_ = PaperWidthMM();
    firstPageLengthMM_ = PaperLengthMM();
}

void TBRGHTMLDocumentFilter::beginPage() { canvas_.clear(); }

void TBRGHTMLDocumentFilter::endPage()
{
    std::string &h = html_;
    h.clear();
    h += "<div class=\"page\" style=\"width:";
    appendNumber(h, PaperWidthMM());
    h += "mm;height:";
    appendNumber(h, PaperLengthMM());
    h += "mm\">\n";
    for (const platform::CanvasOp &op : canvas_.ops()) {
        if (op.kind == platform::CanvasOp::Kind::FillRect) {
            // The paper is white: white fills only hide what lies under them.
            if (op.brush.Style != platform::TBrushStyle::bsSolid ||
                op.brush.Color == platform::clWhite || op.rect.width() <= 0 ||
                op.rect.height() <= 0)
                continue;
            h += "<i class=\"f\" style=\"left:";
            appendNumber(h, ToMM(op.rect.Left));
            h += "mm;top:";
            appendNumber(h, ToMM(op.rect.Top));
            h += "mm;width:";
            appendNumber(h, ToMM(op.rect.width()));
            h += "mm;height:";
            appendNumber(h, ToMM(op.rect.height()));
            h += "mm;background:";
            h += platform::cssColour(op.brush.Color);
            h += "\"></i>\n";
        } else if (op.kind == platform::CanvasOp::Kind::TextOut && !op.text.empty()) {
            const unsigned face = op.font.Style & faceBits;
            faces_.insert(face);
            const platform::FontMetrics &metrics = platform::fontMetrics(op.font, PixelsPerInchY());
            h += "<p class=\"t";
            h += faceClass(face);
            if (op.font.Style & platform::fsUnderline)
                h += " u";
            if (op.font.Style & platform::fsStrikeOut)
                h += " s";
            // The left edge every canvas gives the text, whatever its alignment, placed by a
            // transform, which browsers do not round to whole screen pixels.
            const double left =
                platform::placeRun(QPointF(op.x, op.y), metrics.width(op.text), metrics, op.align)
                    .x();
            const double baseline = ToMM(op.y + metrics.ascent()) - strutMM;
            h += "\" style=\"transform:translate(";
            appendNumber(h, ToMM(left));
            h += "mm,";
            appendNumber(h, baseline);
            h += "mm);font-size:";
            appendNumber(h, ToMM(metrics.em()));
            h += "mm";
            if (op.font.Color != platform::clBlack) {
                h += ";color:";
                h += platform::cssColour(op.font.Color);
            }
            h += "\">";
            h += EscapeText(op.text);
            h += "</p>\n";
        }
    }
    h += "</div>\n";
    canvas_.clear();
    errno = 0;
    if (pages_->write(h.data(), static_cast<qint64>(h.size())) != static_cast<qint64>(h.size()))
        throw platform::EFileNotWritten(FileName(), errno);
}

std::string TBRGHTMLDocumentFilter::head() const
{
    std::string h = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>";
    // A file name is UTF-8; the title, like every text, Windows-1252.
    h += EscapeText(documentTitle_.empty() ? platform::utf8ToCp1252(FileName().stem().string()).text
                                           : documentTitle_);
    h += "</title>\n<style>\n";
    for (const unsigned face : faces_) {
        QFile file(QString::fromStdString(platform::fontFilePath(face)));
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot load font file " + platform::fontFilePath(face));
        h += "@font-face{font-family:";
        h += fontFamily;
        h += ";font-weight:";
        h += (face & platform::fsBold) ? "700" : "400";
        h += ";font-style:";
        h += (face & platform::fsItalic) ? "italic" : "normal";
        h += ";src:url(data:font/ttf;base64,";
        h += file.readAll().toBase64().toStdString();
        h += ") format(\"truetype\")}\n";
    }
    h += "@page{size:" + paperSize(firstPageWidthMM_, firstPageLengthMM_) + ";margin:0}\n";
    h += "html,body{margin:0;padding:0}\n"
         "*{-webkit-print-color-adjust:exact;print-color-adjust:exact}\n"
         "@media screen{body{background:#888}.page{margin:0 auto 4mm}}\n"
         ".page{position:relative;overflow:hidden;background:#fff;break-after:page}\n"
         ".page:last-child{break-after:auto}\n"
         ".f{position:absolute;display:block}\n";
    h += ".t{position:absolute;left:0;top:0;margin:0;white-space:pre;line-height:0;font-family:";
    h += fontFamily;
    h += ";font-weight:400;font-style:normal}\n"
         ".t::before{content:\"\";display:inline-block;height:";
    appendNumber(h, strutMM);
    h += "mm}\n.t.b{font-weight:700}\n.t.i{font-style:italic}\n"
         ".t.u{text-decoration:underline}\n.t.s{text-decoration:line-through}\n"
         ".t.u.s{text-decoration:underline line-through}\n";
    h += "</style>\n</head>\n<body>\n";
    return h;
}

void TBRGHTMLDocumentFilter::finishDocument()
{
    const std::string top = head();
    const std::string bottom = "</body>\n</html>\n";
    save_->Write(top.data(), top.size());
    errno = 0;
    if (!pages_->flush() || !pages_->seek(0))
        throw platform::EFileNotWritten(FileName(), errno);
    while (!pages_->atEnd()) {
        errno = 0;
        const QByteArray chunk = pages_->read(copyChunk);
        if (chunk.isEmpty())
            throw platform::EFileNotWritten(FileName(), errno);
        save_->Write(chunk.data(), static_cast<std::size_t>(chunk.size()));
    }
    save_->Write(bottom.data(), bottom.size());
    save_->Commit();
    pages_.reset();
    save_.reset();
}

void TBRGHTMLDocumentFilter::discardDocument() noexcept
{
    pages_.reset();
    save_.reset(); // the old file stays as it was
}

} // namespace output
