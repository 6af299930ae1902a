#pragma once
// A space curve given by three formulas X(t), Y(t), Z(t), sampled from TFrom to TTo in
// steps of TStep and placed by Matrix. Its own formulas live in a local function list
// (x(t), y(t), z(t), From, To, Step); the object is the function context of their
// evaluation: names are looked up in the scene's list first, then in the local one.

#include "expr/FunctionContext.h"
#include "expr/FunctionListContext.h"
#include "geometry/clsMatrix3D.h"
#include "shapes/IShape.h"

namespace ov {

class clsFunction : public IShape, public FunctionContext {
public:
    clsFunction();

    FunctionList Functions; // the object's own formulas
    clsMatrix3D Matrix;
    double TFrom = 0;
    double TTo = 10;
    double TStep = 0.5;

    void Translate(double dx, double dy, double dz) override;
    // The sampled curve, computed when needed. Errors end the sampling; what was sampled
    // so far is kept.
    SegmentList BreakApart() override;
    void BindToScene(clsSceneSettings* scene) override { scene_ = scene; }
    void Assign(const clsFunction& source);
    std::unique_ptr<IShape> Clone() const override;
    void RotateRel(double ax, double ay, double az, const clsPoint3D* center) override;
    void Stretch(double sx, double sy, double sz, const clsPoint3D* center) override;
    void ReadData(const clsStream& record) override;
    void WriteData(clsStream& record) const override;
    // A function object has no vertices.
    bool HitTestNode(clsView&, const clsRect&, std::vector<clsVertexHit>*, bool) override { return false; }
    void DrawPreview(clsView&) override {}
    void FinishUpdateVertex() override {}
    void UpdateVertex(clsView&, std::int16_t, double, double, bool) override {}

    clsFncDef* FindFunctionOrg(std::string_view name);
    std::unique_ptr<clsFncDef> FindFunction(std::string_view name) override;
    int NestFunction(std::string_view name, int delta) override;
    bool CheckAbort() override;
    const clsFncDef* Definition(std::string_view name, std::unique_ptr<clsFncDef>&) override {
        return FindFunctionOrg(name);
    }

    // Forgets the sampled curve; the next BreakApart samples again.
    void ClearCache() { cached_ = false; }
    // The message of the last sampling that ended early ("" when it ran to the end).
    const std::string& LastSamplingError() const { return lastError_; }

private:
    // Samples the curve into curve; returns the message that ended it early, or "".
    std::string Sample(CurvePoints& curve);

    clsSceneSettings* scene_ = nullptr;
    FunctionIndex sceneIndex_, ownIndex_; // for the scene's functions and the object's own
    std::shared_ptr<const CurvePoints> cache_;
    bool cached_ = false;
    bool sampling_ = false;
    std::string lastError_;
};

} // namespace ov
