// Everything a detection run drives in the main window. The window implements it with its
// widgets; the command-line program implements it on the terminal.
#pragma once

#include <string>

#include "detect/themewindow.h"

namespace kv::detect {

class RunWindow : public ThemeWindow {
  public:
    // ThemeWindow::TickedEngineNames gives the captions of the ticked engine boxes in the
    // order of the engine definition table.

    // 10, 20 or 30, from the three radio buttons (the largest checked one).
    virtual int ScanDepth() const = 0;
    // The keyword box's text.
    virtual std::string KeywordText() const = 0;

    // "Select at least one search engine to check your rankings!" in an information box,
    // then the focus to the "All The Web" box.
    virtual void ShowNoEngineMessage() = 0;

    // The clip sequence: repaint the clip panel, take the picture off, play the opening clip.
    // May raise; the run then calls PutPictureBack() and goes on.
    virtual void StartClips() = 0;
    virtual void PutPictureBack() = 0;
    // False while the closing clip still plays after the stop flag was set.
    virtual bool PictureIsBack() = 0;

    virtual void ClearErrorLog() = 0;
    // Input controls off during a run (the grids, save buttons and menu stay usable).
    virtual void SetRunControlsEnabled(bool enabled) = 0;
    // true: the command button runs StopAction ("Stop scanning", stop image);
    // false: FindAction ("Find words", find image).
    virtual void BindCommandToStop(bool stop) = 0;

    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetGaugeEnabled(bool enabled) = 0;
    virtual void SetGaugeIndeterminate() = 0;
    virtual void SetGaugePosition(int percent) = 0;

    // Dispatches pending window events (the wait for the closing clip).
    virtual void ProcessEvents() = 0;
};

}  // namespace kv::detect
