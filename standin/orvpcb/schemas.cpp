// Registration of every record schema of the stand-in server, area by area.
#include "standin/orvpcb/model.h"
#include "standin/orvpcb/schema_areas.h"

namespace orv {

void RegisterSchemas(Model& model) {
  RegisterObjectSchemas(model);
  RegisterBoardSchemas(model);
  RegisterRuleSchemas(model);
}

}  // namespace orv
