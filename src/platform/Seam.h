#pragma once

// The one shape of a seam over the operating system: an interface whose instance() is the
// object installed for it, else its fallback (the real system's, made on first use). Each
// seam derives from Seam<itself> and defines its fallback() in its own source file.
template <class Interface> class Seam {
public:
    static Interface &instance() { return current ? *current : fallback(); }
    // Installs i (not owned); nullptr restores the fallback.
    static void install(Interface *i) { current = i; }

    // Installs i for the life of this object, then puts back what was installed before.
    class Override {
    public:
        explicit Override(Interface &i) : m_before(current) { current = &i; }
        ~Override() { current = m_before; }
        Override(const Override &) = delete;
        Override &operator=(const Override &) = delete;

    private:
        Interface *m_before;
    };

private:
    static Interface &fallback();
    static inline Interface *current = nullptr;
};
