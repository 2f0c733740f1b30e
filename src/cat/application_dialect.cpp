#include "cat/application_dialect.h"

#include "cat/contract_translation.h"
#include "cat/ft950_emulation.h"
#include "cat/pass_through.h"

namespace vantorel::cat {

std::unique_ptr<ApplicationDialect> MakeDialect(DialectKind kind, const RadioDialect& radio) {
  switch (kind) {
    case DialectKind::ContractTranslation:
      return std::make_unique<ContractTranslation>();
    case DialectKind::Emulation:
      return std::make_unique<Ft950Emulation>(radio);
    case DialectKind::PassThrough:
      return std::make_unique<PassThrough>(radio, false);
    case DialectKind::PassThroughKeying:
      break;
  }
  return std::make_unique<PassThrough>(radio, true);
}

}  // namespace vantorel::cat
