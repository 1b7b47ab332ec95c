// What the window asks of the desktop: message boxes, the save dialog and the shell's open
// action. The program uses the Qt implementation; tests record the calls instead.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

class QWidget;

namespace kv::app {

class Desktop {
  public:
    virtual ~Desktop() = default;
    virtual void ShowError(QWidget* parent, const QString& message) = 0;
    virtual void ShowInformation(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A question with one button per choice; the index of the chosen one, -1 when closed.
    virtual int Choose(QWidget* parent, const QString& title, const QString& text,
                       const QStringList& choices) = 0;
    // The shell's "open": the default browser, mail program or file viewer. False when the
    // desktop has nothing that opens it.
    virtual bool Open(const QUrl& url) = 0;

    // The save dialog with Qt-form filters; filterIndex (0-based) selects the first filter and
    // comes back with the chosen one. nullopt when cancelled.
    virtual std::optional<QString> SaveFileName(QWidget* parent, const QString& proposed,
                                                const QStringList& filters, int& filterIndex) = 0;
};

class QtDesktop : public Desktop {
  public:
    void ShowError(QWidget* parent, const QString& message) override;
    void ShowInformation(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    int Choose(QWidget* parent, const QString& title, const QString& text,
               const QStringList& choices) override;
    bool Open(const QUrl& url) override;
    std::optional<QString> SaveFileName(QWidget* parent, const QString& proposed,
                                        const QStringList& filters, int& filterIndex) override;
};

}  // namespace kv::app
