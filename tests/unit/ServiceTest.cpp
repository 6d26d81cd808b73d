// The replaceable-service slot every platform service uses: the real implementation until a
// test installs its own, and scoped replacements that nest and always put back what was there.
#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/rules/Service.h"

namespace {

class IGreeter {
public:
    virtual ~IGreeter() = default;
    virtual const char* Name() = 0;
};

class Greeter : public IGreeter {
public:
    explicit Greeter(const char* name) : name_(name) {}
    const char* Name() override { return name_; }

private:
    const char* name_;
};

}  // namespace

template <>
IGreeter& RealService<IGreeter>() {
    static Greeter real("real");
    return real;
}

TEST(ServiceTest, TheRealServiceServesUntilOneIsInstalled) {
    EXPECT_STREQ(CurrentService<IGreeter>().Name(), "real");
    Greeter fake("fake");
    InstallService<IGreeter>(&fake);
    EXPECT_STREQ(CurrentService<IGreeter>().Name(), "fake");
    InstallService<IGreeter>(nullptr);
    EXPECT_STREQ(CurrentService<IGreeter>().Name(), "real");
}

TEST(ServiceTest, ScopedReplacementsNestAndRestoreWhatWasThere) {
    Greeter outer("outer");
    Greeter inner("inner");
    {
        ScopedService<IGreeter> first(&outer);
        EXPECT_STREQ(CurrentService<IGreeter>().Name(), "outer");
        {
            ScopedService<IGreeter> second(&inner);
            EXPECT_STREQ(CurrentService<IGreeter>().Name(), "inner");
        }
        EXPECT_STREQ(CurrentService<IGreeter>().Name(), "outer");
        // A scoped nullptr means the real service for that scope.
        {
            ScopedService<IGreeter> real(nullptr);
            EXPECT_STREQ(CurrentService<IGreeter>().Name(), "real");
        }
        EXPECT_STREQ(CurrentService<IGreeter>().Name(), "outer");
    }
    EXPECT_STREQ(CurrentService<IGreeter>().Name(), "real");
}

TEST(ServiceTest, AFailingTestLeavesNoReplacementBehind) {
    Greeter fake("fake");
    EXPECT_THROW(
        {
            ScopedService<IGreeter> replaced(&fake);
            throw std::runtime_error("a failed assertion part-way");
        },
        std::runtime_error);
    EXPECT_STREQ(CurrentService<IGreeter>().Name(), "real");
}
