// The frame's virtual operations, declared once for every platform's frame: this file is
// included inside the class body of each `CFrame`, so that views, contexts and the editor are
// built against one slot order whichever platform they run on. The numbers are the slots.
// (Deliberately without an include guard of its own.)
    void draw(CDrawContext* context) override;                                      // 3
    void drawRect(CDrawContext* context, const CRect& updateRect) override;         // 4
    void mouse(CDrawContext* context, const CPoint& where,
               std::int32_t buttons = -1) override;                                 // 6
    std::int32_t onKeyDown(VstKeyCode& keyCode) override;                           // 9
    std::int32_t onKeyUp(VstKeyCode& keyCode) override;                             // 10
    bool onWheel(CDrawContext* context, const CPoint& where, std::int32_t axis,
                 float distance) override;                                          // 11
    using CViewContainer::onWheel;                                                  // 12
    void setViewSize(const CRect& rect) override;                                   // 28
    AEffGUIEditor* getEditor() const override;                                      // 35
    bool isTypeOf(const char* className) const override;                            // 40
    void update(CDrawContext* context) override;                                    // 41
    CView* getViewUnderMouse() override;                                            // 57
    bool advanceFocus(CView* current, bool reverse = false) override;               // 59

    virtual bool open(void* ignored = nullptr);                                     // 60
    virtual bool close();                                                           // 61
    virtual bool isOpen() const;                                                    // 62
    virtual void idle();                                                            // 63
    virtual void editorIdle();                                                      // 64
    virtual std::uint32_t getTicks() const;                                         // 65
    virtual std::int32_t getKnobMode() const;                                       // 66
    virtual bool setPosition(std::int32_t x, std::int32_t y);                       // 67
    virtual bool getPosition(std::int32_t& x, std::int32_t& y) const;               // 68
    virtual bool setSize(std::int32_t width, std::int32_t height);                  // 69
    virtual bool getSize(CRect* rectPointer) const;                                 // 70
    virtual bool getSize(CRect& rect) const;                                        // 71
    virtual bool setModalView(CView* view);                                         // 72
    virtual CView* getModalView() const;                                            // 73
    virtual void beginEdit(std::int32_t index);                                     // 74
    virtual void endEdit(std::int32_t index);                                       // 75
    virtual bool getCurrentLocation(CPoint& point);                                 // 76
    virtual void setCursor(std::int32_t type);                                      // 77
    virtual void setFocusView(CView* view);                                         // 78
    virtual CView* getFocusView() const;                                            // 79
    virtual bool setDropActive(bool flag);                                          // 80
    virtual bool isDropActive() const;                                              // 81
    virtual void setOpenFlag(bool flag);                                            // 82
    virtual bool getOpenFlag() const;                                               // 83
    virtual void invalidate(const CRect& rect);                                     // 84
    virtual bool setUpdatesDisabled(bool flag);                                     // 85
    virtual bool getUpdatesDisabled() const;                                        // 86
    virtual void drawView(CView* view);                                             // 87
