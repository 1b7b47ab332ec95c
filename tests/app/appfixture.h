// Fixtures of the widget tests: a program folder in a temporary folder, a desktop that records
// what the window asks of it, and a helper that works a modal dialog once it is open.
#pragma once

#include <QStringList>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/desktop.h"
#include "tests/support/tempdir.h"

namespace kv::app::testing {

class RecordingDesktop : public Desktop {
  public:
    void ShowError(QWidget*, const QString& message) override { errors << message; }
    void ShowInformation(QWidget*, const QString& title, const QString& text) override {
        informations << title + "|" + text;
    }
    bool AskYesNo(QWidget*, const QString& title, const QString& text) override {
        questions << title + "|" + text;
        return answerYes;
    }
    int Choose(QWidget*, const QString& title, const QString& text,
               const QStringList& buttons) override {
        choices << title + "|" + text + "|" + buttons.join("/");
        return choiceIndex;
    }
    bool Open(const QUrl& url) override {
        opened << url;
        return openSucceeds;
    }
    std::optional<QString> SaveFileName(QWidget*, const QString& proposed,
                                        const QStringList& filters, int& filterIndex) override {
        proposedNames << proposed;
        offeredFilterIndex = filterIndex;
        lastFilters = filters;
        if (!saveAs) return std::nullopt;
        filterIndex = chosenFilterIndex;
        return saveAs;
    }

    QStringList errors, informations, questions, choices, proposedNames, lastFilters;
    int choiceIndex = 0;
    bool openSucceeds = true;
    QList<QUrl> opened;
    bool answerYes = true;
    std::optional<QString> saveAs;
    int chosenFilterIndex = 0;
    int offeredFilterIndex = -1;
};

struct CacheRow {
    std::string word, engine;
    int rank;
    std::string url, keywords;
};

// A program folder with the build's SE.cds and ua.lst, and optionally a history and a cache.
class ProgramFolder {
  public:
    ProgramFolder();
    std::string Path() const { return dir_.path().string(); }
    std::string File(const std::string& name) const { return dir_.File(name); }
    void WriteTables(const std::vector<std::string>& words, const std::vector<CacheRow>& rows);

  private:
    kv::testing::TempDir dir_;
};

// Runs `work` on the next modal dialog that opens (other than `except`), from the event loop.
void OnNextModal(std::function<void(QWidget*)> work, QWidget* except = nullptr);

// A keyword text of n keywords "kw01".."kwNN" as keyword comma text.
std::string NumberedKeywords(int n);

}  // namespace kv::app::testing
