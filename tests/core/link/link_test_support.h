// Shared pieces of the link tests: a prompter and a progress sink that record, and test images.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "image/fields.h"
#include "image/prompter.h"
#include "image/radio_image.h"
#include "link/clone_protocol.h"

namespace rt62::test {

struct Shown {
    int id;
    Buttons buttons;
    std::vector<std::string> args;
};

// Answers every question with OK or Yes unless told otherwise; safe to call from a worker thread.
class RecordingPrompter : public Prompter {
  public:
    Answer show(int id, Buttons buttons, Icon, const std::vector<std::string>& args = {}) override {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_.push_back({id, buttons, args});
        auto it = answers_.find(id);
        if (it != answers_.end()) return it->second;
        return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
    }
    void SetAnswer(int id, Answer a) { answers_[id] = a; }
    std::vector<int> Ids() const {
        std::lock_guard<std::mutex> lock(mutex_);
        std::vector<int> ids;
        for (const Shown& s : shown_)
            ids.push_back(s.id);
        return ids;
    }
    std::vector<Shown> All() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Shown> shown_;
    std::map<int, Answer> answers_;
};

class RecordingProgress : public ProgressSink {
  public:
    void SetRange(int m) override { range = m; }
    void SetPosition(int p) override {
        if (p != position + 1) steady = false;
        position = p;
    }
    void SetStatus(int id, const std::vector<std::string>& = {}) override { statuses.push_back(id); }
    void SetTitle(int id) override { title = id; }
    int Count(int id) const {
        int n = 0;
        for (int s : statuses)
            n += s == id;
        return n;
    }

    int range = 0;
    int position = 0;
    bool steady = true; // every position is the one before plus 1
    int title = 0;
    std::vector<int> statuses;
};

// A normalized-looking image with 0xFF and 0x00 runs in it (they need escaping on a marked line).
inline RadioImage PatternImage(std::uint8_t seed) {
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + seed);
    image[10] = image[11] = 0xFF;
    image[12] = 0x00;
    image[13] = 0xFF;
    image[14] = 0x00;
    image[15] = 0x21; // '!' inside the data
    StoreImageChecksum(image);
    return image;
}

} // namespace rt62::test
