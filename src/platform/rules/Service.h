#pragma once

// A replaceable service: the program reaches each blocking or outside-reaching service
// (message box, dialogs, printer, clipboard, settings, help viewer, screen) through one
// interface, with the real implementation unless a test has installed its own.
//
// Each service's header declares the real one's accessor,
//     template <> IMessageBoxService& RealService<IMessageBoxService>();
// and its .cpp defines it. Tests replace a service for a scope:
//     ScopedService<IMessageBoxService> fake(&scriptedBoxes);

// The real implementation of Interface; specialised by each service.
template <class Interface>
Interface& RealService();

// The slot holding the installed replacement, or nullptr for the real one.
template <class Interface>
Interface*& InstalledService() noexcept {
    static Interface* installed = nullptr;
    return installed;
}

// The service in force.
template <class Interface>
Interface& CurrentService() {
    Interface* installed = InstalledService<Interface>();
    return installed != nullptr ? *installed : RealService<Interface>();
}

// Installs a replacement; nullptr restores the real one.
template <class Interface>
void InstallService(Interface* replacement) noexcept {
    InstalledService<Interface>() = replacement;
}

// Installs a replacement for its own lifetime, then puts back whatever was in force before
// (an outer replacement or the real one), so that scopes nest and a failing test cannot
// leave its fake behind for the next.
template <class Interface>
class ScopedService {
public:
    explicit ScopedService(Interface* replacement) noexcept : previous_(InstalledService<Interface>()) {
        InstallService(replacement);
    }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;
    ~ScopedService() { InstallService(previous_); }

private:
    Interface* previous_;
};
