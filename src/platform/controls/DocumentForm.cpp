#include "platform/controls/DocumentForm.h"

void DocumentForm::OnWindowGone() {
    // Leaving the list of loaded forms may release the last other reference: this one
    // keeps the object alive until the handler has run.
    const auto self = weak_from_this().lock();
    Form::OnWindowGone();
    if (closed_) {
        const ClosedHandler handler = closed_;
        handler(*this);
    }
}
