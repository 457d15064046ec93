#include "core/archive/RunState.h"

RunState& RunState::instance()
{
    static RunState state;
    return state;
}
