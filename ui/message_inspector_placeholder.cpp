// The inspector as it is until its own code lands: it does nothing, and the
// tree and table of the decoding view stay empty.
#include "ui/message_inspector.h"

namespace corvane {

std::unique_ptr<MessageInspector> CreateMessageInspector(CCorvaneDlg&) {
    return std::make_unique<MessageInspector>();
}

}  // namespace corvane
