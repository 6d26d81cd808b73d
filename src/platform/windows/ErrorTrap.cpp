#include "platform/windows/ErrorTrap.h"

CurrentError& Err() {
    static CurrentError current;
    return current;
}
