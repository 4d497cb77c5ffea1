#pragma once
// The last closed day of the settings ("DataUltFecha"), as the uploads store it.

#include <QString>

class TAtividades;
class TConfig;

namespace fechamento {

// Stores DataIn as the last closed day; a failure to store it is logged and
// the run goes on (the day is shown already and stored again with the next closing).
void guardaUltFecha(TConfig& config, TAtividades& log, const QString& DataIn);

} // namespace fechamento
