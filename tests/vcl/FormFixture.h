// A shown form of the component layer for tests of its controls: made
// before each test, freed after it, and a helper that places a new control
// of any class on it.
#pragma once

#include <gtest/gtest.h>

#include "Forms.h"

struct FormFixture : ::testing::Test {
    void SetUp() override {
        form = vcl::TComponent::Create<vcl::TForm>(nullptr);
        form->SetBounds(0, 0, 500, 400);
        form->Show();
    }
    void TearDown() override { form->Free(); }
    template <class T>
    T* Make() {
        T* c = vcl::TComponent::Create<T>(form);
        c->SetParent(form);
        return c;
    }
    vcl::TForm* form = nullptr;
};
