// What the browser page calls in the core (embind): the document, the grid's texts, the report, the
// string table. Presentation stays in the page's JavaScript; every rule and message is the core's.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/grid/cell_speech.h"
#include "core/grid/columns.h"
#include "core/image/cells.h"
#include "core/image/data_file.h"
#include "core/image/document.h"
#include "core/image/layout.h"
#include "core/image/strings.h"
#include "core/report/image_dump.h"
#include "core/report/programming_report.h"

namespace rt62::web {
namespace {

using emscripten::val;

// The default data files live in the module's in-memory file system, where the document looks for them.
constexpr char kProgramDir[] = "/rt62m";
constexpr char kFilesDir[] = "/files";

// Messages the core shows during a call are handed back with its result; questions are not asked
// during these calls (the page asks them first, with its own dialog).
class CollectingPrompter : public Prompter {
  public:
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& args) override {
        messages_.push_back(FormatString(id, args));
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::No : Answer::Ok;
    }
    val Take() {
        val out = val::array();
        for (const std::string& m : messages_) out.call<void>("push", m);
        messages_.clear();
        return out;
    }

  private:
    std::vector<std::string> messages_;
};

val Bytes(const std::uint8_t* data, std::size_t n) {
    val out = val::global("Uint8Array").new_(n);
    out.call<void>("set", val(emscripten::typed_memory_view(n, data)));
    return out;
}

std::vector<std::uint8_t> FromJs(const val& bytes) { return emscripten::convertJSArrayToNumberVector<std::uint8_t>(bytes); }

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
}

} // namespace

class PageDocument {
  public:
    PageDocument() : doc_(prompter_, kProgramDir) {
        std::filesystem::create_directories(kProgramDir);
        std::filesystem::create_directories(kFilesDir);
        for (int code = 0; code < 4; ++code) {
            const ImageModel m = MakeFactoryImage(code);
            const DataFileBytes bytes = MakeDataFileBytes(m.image, DefaultSplitBytes(m.defaultSplit));
            WriteFile(std::string(kProgramDir) + "/" + kDefaultFileNames[static_cast<std::size_t>(code)],
                      {bytes.begin(), bytes.end()});
        }
        doc_.OnNewDocument();
    }

    // New: the first default file found, as the window's File New does.
    val New() {
        doc_.OnNewDocument();
        return prompter_.Take();
    }

    // Open of a file the user picked: the window's checks and messages, the open document untouched
    // unless the bytes are a data file. {ok, messages}.
    val Open(const std::string& name, const val& bytes) {
        const std::vector<std::uint8_t> data = FromJs(bytes);
        const std::string path = std::string(kFilesDir) + "/" + name;
        WriteFile(path, data);
        const int loadsBefore = doc_.LoadCount();
        const bool ok = doc_.OpenCommand(path, [] { return std::nullopt; });
        val out = val::object();
        out.set("ok", ok && doc_.LoadCount() != loadsBefore);
        out.set("messages", prompter_.Take());
        return out;
    }

    // The data file's bytes as Save writes them, under the document's name. {ok, name, bytes, messages}.
    val Save() {
        std::string path = doc_.HasFile() ? doc_.CurrentPath() : std::string(kFilesDir) + "/" + kDefaultFileNames[0];
        const bool ok = doc_.SaveAs(path);
        val out = val::object();
        out.set("ok", ok);
        out.set("name", FileNameOfPath(doc_.CurrentPath()));
        if (ok) {
            std::vector<std::uint8_t> bytes(kDataFileSize);
            if (std::FILE* f = std::fopen(doc_.CurrentPath().c_str(), "rb")) {
                bytes.resize(std::fread(bytes.data(), 1, bytes.size(), f));
                std::fclose(f);
            }
            out.set("bytes", Bytes(bytes.data(), bytes.size()));
        }
        out.set("messages", prompter_.Take());
        return out;
    }

    std::string Title() const { return FileNameOfPath(doc_.Title()); }
    bool Modified() const { return doc_.IsModified(); }

    // The image for a transfer and back.
    val Image() const { return Bytes(doc_.Image().data(), doc_.Image().size()); }
    bool TakeUploadedImage(const val& bytes) {
        const std::vector<std::uint8_t> data = FromJs(bytes);
        if (data.size() != kImageSize) return false;
        RadioImage image{};
        std::copy(data.begin(), data.end(), image.begin());
        doc_.TakeUploadedImage(image);
        return true;
    }

    std::string CellText(int n, int column) const { return ChannelCellText(doc_.Model(), n, column); }
    std::string CellSpeech(int n, int column) const { return ChannelCellSpeech(doc_.Model(), n, column); }

    val ReportLines() const {
        val out = val::array();
        for (const ReportLine& line : ProgrammingReport(doc_).Lines())
            out.call<void>("push", line.drawn ? line.text : std::string());
        return out;
    }

  private:
    CollectingPrompter prompter_;
    CRT62MDoc doc_;
};

std::string HeaderCell(int row, int column) { return std::string(HeaderText(row, column)); }
std::string Message(int id, const val& args) {
    return FormatString(id, args.isUndefined() ? std::vector<std::string>{} : emscripten::vecFromJSArray<std::string>(args));
}
int ColumnItem(int column) { return ColumnItemOfColumn(column); }

EMSCRIPTEN_BINDINGS(rt62) {
    using namespace emscripten;
    class_<PageDocument>("PageDocument")
        .constructor<>()
        .function("newDocument", &PageDocument::New)
        .function("open", &PageDocument::Open)
        .function("save", &PageDocument::Save)
        .function("title", &PageDocument::Title)
        .function("modified", &PageDocument::Modified)
        .function("image", &PageDocument::Image)
        .function("takeUploadedImage", &PageDocument::TakeUploadedImage)
        .function("cellText", &PageDocument::CellText)
        .function("cellSpeech", &PageDocument::CellSpeech)
        .function("reportLines", &PageDocument::ReportLines);
    function("headerText", &HeaderCell);
    function("columnSpeech", &ColumnSpeech);
    function("columnHeaderSpeech", &ColumnHeaderSpeech);
    function("columnItem", &ColumnItem);
    function("message", &Message);
    constant("channelCount", kChannelCount);
    constant("columnCount", kGridColumnCount);
}

} // namespace rt62::web
