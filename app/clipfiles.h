// The three clips written to the temporary folder, each under a freshly generated braced GUID
// without extension, and deleted again when the object goes.
#pragma once

#include <QString>
#include <array>

namespace kv::app {

class ClipFiles {
  public:
    // Writes the clip resources; a file that cannot be written is left out (empty name).
    ClipFiles();
    ~ClipFiles();
    ClipFiles(const ClipFiles&) = delete;
    ClipFiles& operator=(const ClipFiles&) = delete;

    const std::array<QString, 3>& Paths() const { return paths_; }
    void Remove();

    // Registers the clip resources (":/clips/1.gif" ...); repeated calls do nothing.
    static void InitResources();

  private:
    std::array<QString, 3> paths_;
};

}  // namespace kv::app
