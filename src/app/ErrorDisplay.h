#pragma once
// TErrorDisplay: the general error display. An error that no task handles
// ends the work of its window event, is added to the activity log as
// "Erro na operação" and is handed on (errorRaised) to the window, which shows
// a message box, or to the headless runner, which writes it to stderr.

#include <QObject>
#include <QString>
#include <functional>

class TAtividades;

class TErrorDisplay : public QObject {
    Q_OBJECT

  public:
    explicit TErrorDisplay(TAtividades& log, QObject* parent = nullptr);

    // Shows an error that no task handled (the "." rule applied) and logs it.
    void ShowError(const QString& text);
    // The text as the error display shows it: "." appended unless it already
    // ends in a character of code 46 or below.
    [[nodiscard]] static QString shownText(const QString& text);
    // Runs the work of one window event; an error that no task handles is
    // shown by ShowError. False then.
    bool runGuarded(const std::function<void()>& work);

  signals:
    void errorRaised(const QString& text);

  private:
    TAtividades& m_log;
};
