#include "platform/rules/ErrorTrap.h"

CurrentError& Err() {
    static CurrentError current;
    return current;
}
