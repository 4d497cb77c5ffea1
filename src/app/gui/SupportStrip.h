#pragma once
// TSupportStrip: the thin panel at the bottom of the main window with what a
// support technician asks first: the program's version, the working folder, the
// month's log folder (with a button that opens it), the ERP database, the base
// URL in use (after a failover), and when the general tick last ran and when it
// runs next. It follows the engine's state and its ticks, and refreshes
// itself once a second while it is shown. A value too long for its place is cut
// in the middle ("/home/loja/.loc…/log/Ano2025_12/"); its tooltip and its menu's
// "Copiar" give it whole.

#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <functional>

class TEngine;

// One value of the strip: shown whole where it fits, cut in the middle where not.
class TCampoSuporte : public QLabel {
  public:
    explicit TCampoSuporte(const char* name, QWidget* parent);
    void setValor(const QString& valor);
    [[nodiscard]] const QString& valor() const { return m_valor; }
    // Asks for the whole value's width, and makes do with a little.
    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void mostra();
    QString m_valor;
};

class TSupportStrip : public QFrame {
  public:
    explicit TSupportStrip(TEngine& engine, QWidget* parent = nullptr);

    // Reads the values from the engine's state anew.
    void atualiza();
    // Opens the log folder in the desktop's file manager.
    void btnAbreLogClick();
    // What opens a folder: QDesktopServices::openUrl unless set (tests watch it).
    void setOpener(std::function<bool(const QUrl&)> opener) { m_abre = std::move(opener); }

    TCampoSuporte* edtVersao = nullptr;
    TCampoSuporte* edtPasta = nullptr;
    TCampoSuporte* edtPastaLog = nullptr;
    QPushButton* btnAbreLog = nullptr;
    TCampoSuporte* edtBanco = nullptr;
    TCampoSuporte* edtUrlBase = nullptr;
    TCampoSuporte* edtUltimoCiclo = nullptr;
    TCampoSuporte* edtProximoCiclo = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    [[nodiscard]] QString proximoCiclo(const QDateTime& agora) const;

    TEngine& m_engine;
    QDateTime m_ultimoCiclo; // when the last general tick ended; invalid before the first
    QTimer m_relogio;        // once a second while shown
    std::function<bool(const QUrl&)> m_abre;
};
