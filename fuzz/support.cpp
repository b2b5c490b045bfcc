#include "fuzz/support.h"

#include <array>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace rt62::fuzz {

namespace {
namespace fs = std::filesystem;

struct Scratch {
    fs::path dir;
    Scratch() {
        std::error_code ec;
        fs::path base = fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm") : fs::temp_directory_path(ec);
        dir = base / ("rt62-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(dir, ec);
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};
} // namespace

const std::string& ScratchDir() {
    static const Scratch scratch;
    static const std::string dir = scratch.dir.string();
    return dir;
}

const ImageModel& FactoryModel(int bandStepCode) {
    static const std::array<ImageModel, 4> models = {MakeFactoryImage(0), MakeFactoryImage(1),
                                                     MakeFactoryImage(2), MakeFactoryImage(3)};
    return models[static_cast<std::size_t>(bandStepCode & 3)];
}

} // namespace rt62::fuzz
