#include "platform/ErrorTrap.h"

CurrentError& Err() {
    static CurrentError current;
    return current;
}
