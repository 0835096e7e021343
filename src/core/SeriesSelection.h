#pragma once

// The instrument series and coordinate order chosen at start. They are the option buttons of the
// selection dialog, read each time they are needed (the RQX5 option is tested before the RQX2 one).
class SeriesSelection {
public:
    virtual ~SeriesSelection() = default;
    virtual bool rqx5Selected() const = 0; // Option4 "RQX5 系列"
    virtual bool rqx2Selected() const = 0; // Option3 "RQX2 系列"
    virtual bool nezSelected() const = 0;  // Option1 "N E Z"; otherwise the order is E N Z
};

// A selection held in plain fields, for tests and tools.
class FixedSelection : public SeriesSelection {
public:
    bool rqx5 = false;
    bool rqx2 = true;
    bool nez = true;
    bool rqx5Selected() const override { return rqx5; }
    bool rqx2Selected() const override { return rqx2; }
    bool nezSelected() const override { return nez; }
};
