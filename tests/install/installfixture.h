// Fixtures of the install tests: programs run with a chosen environment, and one installation
// of the build into a temporary DESTDIR.
#pragma once

#include <QProcessEnvironment>
#include <QStringList>
#include <map>
#include <string>

#include "tests/support/tempdir.h"

namespace kv::testing {

struct Outcome {
    int exitCode = -1;  // -1: crashed, did not start or did not end in time
    std::string out;
    std::string err;
};

Outcome RunProgram(const QString& program, const QStringList& args,
                   const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                   int timeoutMs = 120000);

// The build installed with `cmake --install --prefix <prefix>` and DESTDIR set.
class Installation {
  public:
    explicit Installation(const std::string& prefix = "/opt/kelvane");
    const std::string& Root() const { return root_; }  // DESTDIR + prefix
    std::string Path(const std::string& relative) const { return root_ + "/" + relative; }
    std::string DestDir() const { return dir_.path().string() + "/dest"; }

  private:
    TempDir dir_;
    std::string root_;
};

// Every file and link below `folder` with its size and modification time, to see writes.
std::map<std::string, std::string> Snapshot(const std::string& folder);

// A copy of an engine definition file with the demo engine's address replaced by its port.
void PointEnginesAt(const std::string& from, const std::string& to, unsigned port);

}  // namespace kv::testing
