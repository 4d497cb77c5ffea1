#pragma once
// TAtividades: where the tasks write their rows of the activity log. The shell
// gives every task the same log (the table the main window shows and the
// journal on disk); tests may give one of their own.

#include <QString>

class TAtividades {
  public:
    virtual ~TAtividades() = default;
    // Adds one row: the operation and its message, texts whole. Never throws.
    virtual void addList(const QString& operacao, const QString& mensagem) = 0;

  protected:
    TAtividades() = default;
    TAtividades(const TAtividades&) = default;
    TAtividades& operator=(const TAtividades&) = default;
};
