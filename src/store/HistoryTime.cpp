#include "store/HistoryTime.h"

namespace vorelle {

StoreSeconds BucketStartOf(StoreSeconds seconds, StoreSeconds span)
{
    const StoreSeconds within = seconds % span;
    return seconds - (within < 0 ? within + span : within);
}

StoreSeconds BucketStartFrom(StoreSeconds seconds, StoreSeconds span)
{
    const StoreSeconds start = BucketStartOf(seconds, span);
    return start == seconds ? start : start + span;
}

}  // namespace vorelle
