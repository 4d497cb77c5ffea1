#include "app/ErrorDisplay.h"

#include "support/Errors.h"
#include "sync/Atividades.h"

#include <exception>

TErrorDisplay::TErrorDisplay(TAtividades& log, QObject* parent) : QObject(parent), m_log(log) {}

QString TErrorDisplay::shownText(const QString& text) {
    if (!text.isEmpty() && text.back().unicode() <= 46) return text;
    return text + u'.';
}

void TErrorDisplay::ShowError(const QString& text) {
    m_log.addList(QStringLiteral("Erro na operação"), text);
    emit errorRaised(shownText(text));
}

bool TErrorDisplay::runGuarded(const std::function<void()>& work) {
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
