// The authorization request to the built-in caster.
#pragma once

#include "net/caster_entry.h"
#include "net/net_timeouts.h"

namespace corvane {

enum AuthorizationResult { kAuthUnreachable = -1, kAuthRefused = 0, kAuthAccepted = 1 };

// Asks the caster whether `caster.credentials` are accepted: 1 accepted (or
// the answer could not be read), 0 refused (status 401), -1 no connection.
int RequestAuthorization(const CasterEntry& caster, const NetTimeouts& timeouts = {});

}  // namespace corvane
