// The window's side of the program folder's lock: a run waits while another run of Kelvane
// (a command-line run, another window) uses the folder, with a message the user can cancel.
// Tests: tests/app/folderwait_test.cpp.
#pragma once

#include <QWidget>
#include <memory>
#include <string>

#include "data/folderlock.h"

namespace kv::app {

// The held lock of folder, taken at once when it is free; nullptr when the user canceled.
std::unique_ptr<data::FolderLock> WaitForFolderLock(QWidget* parent, const std::string& folder);

}  // namespace kv::app
