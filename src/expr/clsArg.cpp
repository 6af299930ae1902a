#include "expr/clsArg.h"

#include "io/clsOldStream.h"

namespace ov {

void clsArg::ReadData(clsOldStream& stream) { Name = stream.GetString(); }
void clsArg::WriteData(clsOldStream& stream) const { stream.SetString(Name); }

} // namespace ov
