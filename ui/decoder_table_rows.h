// The table rows of the record a message code names, read from a running
// decoder: the record is copied under the decoder's lock and formatted
// afterwards, so the rows never mix two messages and the receive thread is
// held only for the copy.
#pragma once

#include <cstdint>

#include "ui/table_rows.h"

namespace corvane {

class RTCM2Dec;
class RTCM3Dec;

TableRows Rtcm2TableRows(const RTCM2Dec& decoder, std::uint32_t code);
TableRows Rtcm3TableRows(const RTCM3Dec& decoder, std::uint32_t code);

}  // namespace corvane
