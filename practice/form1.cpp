#include "form1.h"

#include "app/runtime.h"

Form1::Form1(Runtime &runtime, Module1 &module, QWidget *parent)
    : QWidget(parent)
    , m_runtime(runtime)
    , m_module(module)
{
    ui.setupUi(this);
    connect(ui.menuOpen, &QAction::triggered, this, &Form1::menuOpen_Click);
}

Form1::~Form1() = default;
