#pragma once

// The root of the toolkit's classes.
class CObject {
public:
    virtual ~CObject() = default;
};
