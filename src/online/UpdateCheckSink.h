#pragma once

#include "online/UpdateRecord.h"

namespace kx520::online {

// Where a check's steps go: the settings window hands each to its own
// thread. Called from the check's thread, in order.
class UpdateCheckSink {
public:
    virtual ~UpdateCheckSink() = default;
    virtual void SetUpdateState(int state) = 0;
    virtual void AddUpdateItem(const UpdateRecord& record) = 0;
    virtual void RefreshUpdateItem(const UpdateRecord& record, int row) = 0;
    // Every row has its answer; `failures` rows could not reach the service.
    virtual void CheckFinished(int failures) = 0;
};

}  // namespace kx520::online
