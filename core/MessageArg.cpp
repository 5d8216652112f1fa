#include "core/MessageArg.h"

#include "platform/Vb.h"

namespace tova {

// A Boolean shows as the words the classic runtime gives it.
MessageArg::MessageArg(bool v) : text_(v ? QStringLiteral("True") : QStringLiteral("False")), given_(true) {}
MessageArg::MessageArg(long long v) : text_(Vb::IntText(v)), given_(true) {}
MessageArg::MessageArg(float v) : text_(Vb::SingleText(v)), given_(true) {}
MessageArg::MessageArg(double v) : text_(Vb::DoubleText(v)), given_(true) {}

}  // namespace tova
