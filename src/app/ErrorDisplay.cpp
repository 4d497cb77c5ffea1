// The general error display: an error that no task handles ends the work of
// its window event, is added to the activity log as "Erro na operação" and is
// handed to the window (a message box) or to the headless runner (stderr).

#include "app/uPrincipal.h"
#include "support/Errors.h"

#include <exception>

QString TPrincipal::TextoDoErro(const QString& text) {
    if (!text.isEmpty() && text.back().unicode() <= 46) return text;
    return text + u'.';
}

void TPrincipal::ShowError(const QString& text) {
    addList(QStringLiteral("Erro na operação"), text);
    emit errorRaised(TextoDoErro(text));
}

bool TPrincipal::runGuarded(const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const AppError& e) {
        ShowError(e.message());
    } catch (const std::exception& e) {
        ShowError(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        ShowError(QStringLiteral("Unexpected error of an unknown kind"));
    }
    return false;
}
