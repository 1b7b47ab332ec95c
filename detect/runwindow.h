// Everything a detection run reports to the main window: progress, status, log and the state
// of the controls. The window implements it with its widgets; the command-line program on the
// terminal. What to run comes with the run request (runrequest.h), not from here.
#pragma once

#include <string>

#include "detect/keywordsources.h"
#include "detect/runrequest.h"
#include "detect/themewindow.h"

namespace kv::detect {

class RunWindow : public ThemeWindow {
  public:
    // ThemeWindow::TickedEngineNames gives the captions of the ticked engine boxes in the
    // order of the engine definition table.

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

    // Where pages are read for their keywords; asked per page, so a changed setting applies
    // to the pages fetched from then on.
    virtual KeywordSources ChosenKeywordSources() const { return KeywordSources::All(); }
    // What the run has done so far, after every change of it.
    virtual void ShowProgress(const RunProgress&) {}
};

}  // namespace kv::detect
