// The browser's transfer worker: the session's transfers (Upload, Download, the read of Verify) over the page's serial port or the simulated
// radio, with the link's own time-outs. Built with ASYNCIFY: every wait below suspends the C++ stack
// and lets the worker's event loop run, so the page's bytes, answers and Cancel arrive meanwhile.
#include <emscripten.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/image/model.h"
#include "core/link/bridged_serial_port.h"
#include "core/link/radio_emulator.h"
#include "core/link/sim_port.h"
#include "core/app/transfer.h"
#include "core/link/fleet_run.h"
#include "core/link/transfer_job.h"

// ---- what worker.js provides (the page is reached by postMessage from there) ----

// Asks the page to open its chosen port; resolves to an OpenError value.
EM_ASYNC_JS(int, rt62w_port_open, (), { return await Rt62Worker.portOpen(); });
EM_ASYNC_JS(void, rt62w_port_close, (), { await Rt62Worker.portClose(); });
EM_JS(int, rt62w_port_send, (const std::uint8_t* data, int n), {
    return Rt62Worker.portSend(HEAPU8.slice(data, data + n)) ? 1 : 0;
});
// Waits up to timeoutMs for input, then copies what arrived (bytes, -1 line error, -2 lost) into out.
EM_ASYNC_JS(int, rt62w_port_receive, (double timeoutMs, int* out, int capacity), {
    const items = await Rt62Worker.portReceive(timeoutMs, capacity);
    HEAP32.set(items, out >> 2);
    return items.length;
});
EM_JS(void, rt62w_port_discard, (), { Rt62Worker.portDiscard(); });
EM_ASYNC_JS(void, rt62w_sleep_ms, (double ms), { await new Promise(resolve => setTimeout(resolve, ms)); });
// A message box on the page; resolves to an Answer value. args: the arguments joined by U+001F.
EM_ASYNC_JS(int, rt62w_prompt, (int id, int buttons, int icon, const char* args, int argsLength), {
    return await Rt62Worker.prompt(id, buttons, icon, (argsLength ? UTF8ToString(args, argsLength).split(String.fromCharCode(31)) : []));
});
// A fleet run's news for the page: kind 0 a radio starts (a, b: number, total), 1 what the user must
// do (a: string id), 2 a radio is done (a, b: number, total; texts: serial, code, result).
EM_JS(void, rt62w_fleet_news, (int kind, int a, int b, const char* texts, int textsLength), {
    Rt62Worker.fleetNews(kind, a, b, (textsLength ? UTF8ToString(texts, textsLength).split(String.fromCharCode(31)) : []));
});
EM_JS(void, rt62w_progress, (int what, int value, const char* args, int argsLength), {
    Rt62Worker.progress(what, value, (argsLength ? UTF8ToString(args, argsLength).split(String.fromCharCode(31)) : []));
});

namespace rt62 {
namespace {

std::string Joined(const std::vector<std::string>& args) {
    std::string s;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i) s += '\x1f'; // not NUL: UTF8ToString stops at the first one
        s += args[i];
    }
    return s;
}

class PagePrompter : public Prompter {
  public:
    Answer show(int id, Buttons buttons, Icon icon, const std::vector<std::string>& args) override {
        const std::string a = Joined(args);
        return static_cast<Answer>(rt62w_prompt(id, static_cast<int>(buttons), static_cast<int>(icon), a.data(),
                                                static_cast<int>(a.size())));
    }
};

class PageProgress : public ProgressSink {
  public:
    enum What { kRange, kPosition, kStatus, kTitle };
    void SetRange(int maximum) override { rt62w_progress(kRange, maximum, "", 0); }
    void SetPosition(int position) override { rt62w_progress(kPosition, position, "", 0); }
    void SetStatus(int id, const std::vector<std::string>& args) override {
        const std::string a = Joined(args);
        rt62w_progress(kStatus, id, a.data(), static_cast<int>(a.size()));
    }
    void SetTitle(int id) override { rt62w_progress(kTitle, id, "", 0); }
};

// The page's Web Serial port.
class PageBridge : public PortBridge {
  public:
    OpenError Open(const LineSettings&) override { return static_cast<OpenError>(rt62w_port_open()); }
    void Close() override { rt62w_port_close(); }
    bool Send(const std::uint8_t* data, std::size_t n) override {
        return rt62w_port_send(data, static_cast<int>(n)) != 0;
    }
    void Receive(Clock::time_point deadline, std::deque<int>& arrived) override {
        const auto wait = std::chrono::duration<double, std::milli>(deadline - Clock::now()).count();
        int items[512];
        const int n = rt62w_port_receive(wait > 0 ? wait : 0, items, 512);
        arrived.insert(arrived.end(), items, items + n);
    }
    void Discard() override { rt62w_port_discard(); }
    // Each echo crosses from the page to the worker: with a byte's wait for the one before, that hop
    // would add to every character. 16 characters (37 ms) also cover a USB adapter's latency timer.
    std::size_t EchoWindow() const override { return 16; }
};

CancelToken cancelToken;
FleetControl* fleetControl = nullptr; // the fleet run in progress
PagePrompter prompter;
PageProgress progress;
PageBridge bridge;

// The far end of the warm-up: a private emulated radio on a clock of its own, so the run takes no wire
// time and touches neither the page's port nor the simulated radio the user may pick.
class WarmUpBridge : public PortBridge {
  public:
    explicit WarmUpBridge(const RadioImage& image) : radio_(image) {}
    OpenError Open(const LineSettings&) override { return OpenError::None; }
    void Close() override {}
    bool Send(const std::uint8_t* data, std::size_t n) override {
        std::vector<LineEvent> events;
        for (std::size_t i = 0; i < n; ++i) radio_.OnHostByte(data[i], events);
        for (const LineEvent& e : events)
            if (e.kind != LineEvent::Kind::Pause) line_.push_back(e.kind == LineEvent::Kind::LineError ? kLineError : e.value);
        return true;
    }
    void Receive(Clock::time_point deadline, std::deque<int>& arrived) override {
        if (line_.empty()) now_ = std::max(now_, deadline);
        arrived.insert(arrived.end(), line_.begin(), line_.end());
        line_.clear();
    }
    void Discard() override { line_.clear(); }
    Clock::time_point Now() override { return now_; }
    std::size_t EchoWindow() const override { return bridge.EchoWindow(); }

  private:
    RadioEmulator radio_;
    std::deque<int> line_;
    Clock::time_point now_ = Clock::now();
};

// Says yes to everything and shows nothing.
class SilentPrompter : public Prompter {
  public:
    Answer show(int, Buttons buttons, Icon, const std::vector<std::string>&) override {
        return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
    }
};

enum PortKind { kPagePort = 0, kSimulatedRadio = 1 };
// Backups are written here; worker.js hands them to the page, which keeps them in the browser's storage.
constexpr char kBackupFolder[] = "/backups";

// The port of the next job; the simulated radio keeps what it was sent between jobs.
std::unique_ptr<SerialPort> MakePort(int kind, const char* lead) {
    std::unique_ptr<SerialPort> port;
    if (kind == kSimulatedRadio)
        port = std::make_unique<SimulatedSerialPort>(SharedSimulatedRadio(), SimulatedSerialPort::Clock::Real);
    else
        port = std::make_unique<BridgedSerialPort>(bridge);
    port->SetLeadName(lead);
    return port;
}

class PageFleetObserver : public FleetObserver {
  public:
    void RadioStarting(int number, int total) override { rt62w_fleet_news(0, number, total, "", 0); }
    void Prompt(int stringId, const std::vector<std::string>& args) override {
        const std::string a = Joined(args);
        rt62w_fleet_news(1, stringId, 0, a.data(), static_cast<int>(a.size()));
    }
    void RadioDone(const FleetRadio& radio) override {
        const std::string a = Joined({radio.serial, radio.aniCode, std::string(FleetResultWord(radio.result))});
        rt62w_fleet_news(2, radio.number, radio.total, a.data(), static_cast<int>(a.size()));
    }
};

void SleepUntil(std::chrono::steady_clock::time_point t) {
    const auto ms = std::chrono::duration<double, std::milli>(t - std::chrono::steady_clock::now()).count();
    if (ms > 0) rt62w_sleep_ms(ms);
}

} // namespace
} // namespace rt62

using namespace rt62;

extern "C" {

// A Download and an Upload against the warm-up radio, run once when the worker starts: the browser
// compiles the module's functions when they are first called, which would otherwise delay the
// first transfer's first byte and its end by some tens of milliseconds.
EMSCRIPTEN_KEEPALIVE void rt62w_warm_up() {
    const RadioImage image = MakeFactoryImage(0).image;
    WarmUpBridge far(image);
    BridgedSerialPort port(far);
    SilentPrompter silent;
    NullProgress quiet;
    CancelToken cancel;
    for (const TransferKind kind : {TransferKind::Download, TransferKind::Upload}) {
        Transfer t;
        t.kind = kind;
        t.port = &port;
        t.current = image;
        RunTransferJob(t, cancel, quiet, silent);
        port.Close();
    }
}

EMSCRIPTEN_KEEPALIVE void rt62w_cancel() {
    cancelToken.Request();
    if (fleetControl) fleetControl->Cancel().Request();
}

// Program Fleet with the session's template over the page's port or the simulated fleet, counting ANI
// codes up from start; the log is /fleet/log.csv (the page puts the earlier runs' log there first).
// summary out: started, total, programmed, notProgrammed, cancelled, logFailed.
EMSCRIPTEN_KEEPALIVE void rt62w_fleet(int portKind, const char* lead, const std::uint8_t* templateImage,
                                      const std::uint8_t* trailer, int format, const char* start, int count,
                                      int programAgain, int backup, int giveUpMs, int* summary) {
    SimulatedSerialPort::SetRealClockSleep(SleepUntil);
    std::unique_ptr<SerialPort> port;
    if (portKind == kSimulatedRadio)
        port = std::make_unique<SimulatedSerialPort>(SharedSimulatedFleet(), SimulatedSerialPort::Clock::Real);
    else
        port = std::make_unique<BridgedSerialPort>(bridge);
    port->SetLeadName(lead);
    FleetRequest request;
    std::memcpy(request.templateImage.data(), templateImage, request.templateImage.size());
    std::memcpy(request.trailer.data(), trailer, request.trailer.size());
    request.format = static_cast<TwoToneFormat>(format);
    request.codes.start = start;
    request.count = count;
    request.logPath = "/fleet/log.csv";
    request.programAgain = programAgain != 0;
    request.backup = {backup != 0, kBackupFolder, request.trailer};
    request.giveUpAfter = std::chrono::milliseconds(giveUpMs);
    FleetControl control;
    fleetControl = &control;
    PageFleetObserver observer;
    const FleetSummary r = RunFleet(*port, request, control, progress, prompter, observer);
    fleetControl = nullptr;
    port->Close();
    const int values[] = {r.started, r.total, r.programmed, r.notProgrammed, r.cancelled, r.logFailed};
    std::memcpy(summary, values, sizeof values);
}

// Runs a transfer the page's session prepared (TransferKind kind) on current (254 bytes); an image read
// from the radio is kept first as a data file in /backups with trailer (8 bytes) when backup is set.
// out receives the image the job brought and flags: 1 there is one, 2 the marketing mark may be cleared.
// Returns the JobStatus.
EMSCRIPTEN_KEEPALIVE int rt62w_run(int kind, int portKind, const char* lead, const std::uint8_t* current,
                                   int documentModified, int serviceMode, int marketingChanged, int backup,
                                   const std::uint8_t* trailer, int giveUpMs, std::uint8_t* out, int* flags) {
    SimulatedSerialPort::SetRealClockSleep(SleepUntil);
    cancelToken.Reset();
    std::unique_ptr<SerialPort> port = MakePort(portKind, lead);
    Transfer t;
    t.kind = static_cast<TransferKind>(kind);
    t.port = port.get();
    std::memcpy(t.current.data(), current, t.current.size());
    t.documentModified = documentModified != 0;
    t.options.serviceMode = serviceMode != 0;
    t.options.marketingChanged = marketingChanged != 0;
    t.backup.enabled = backup != 0;
    t.backup.folder = kBackupFolder;
    std::memcpy(t.backup.trailer.data(), trailer, t.backup.trailer.size());
    t.giveUpAfter = std::chrono::milliseconds(giveUpMs);
    const JobOutcome r = RunTransferJob(t, cancelToken, progress, prompter);
    port->Close();
    *flags = (r.image ? 1 : 0) | (r.clearMarketingMark ? 2 : 0);
    if (r.image) std::memcpy(out, r.image->data(), r.image->size());
    return static_cast<int>(r.status);
}

} // extern "C"
