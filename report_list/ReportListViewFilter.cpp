// The wrapper for libstdc++'s regular expressions: under the sanitizers GCC 12 reports
// uninitialised reads inside std::function copies of the regex compiler that cannot
// happen. The warning is off for this file only, before any header is read.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// TReportListView::FilterAndSort: selecting the rows that match a substring, a Boolean
// expression of terms or a regular expression, then sorting.
#include <cctype>
#include <memory>
#include <regex>
#include <stdexcept>

#include "report_list/replist.h"

namespace kovo {

// ---- filtering ----

namespace {

std::string Lower(std::string s) {
    for (char& ch : s) ch = char(std::tolower(static_cast<unsigned char>(ch)));
    return s;
}

// A Boolean filter expression: words or "quoted phrases" as substrings, NOT, AND (also
// implied between two terms), OR, parentheses; keywords in any case.
class TBoolFilter {
  public:
    explicit TBoolFilter(const std::string& Exp) {
        Tokenize(Exp);
        if (FTokens.empty()) throw std::invalid_argument("empty");
        FRoot = ParseOr();
        if (FPos != FTokens.size()) throw std::invalid_argument("unexpected token");
    }
    // Match(word) answers whether a word occurs.
    bool Eval(const std::function<bool(const std::string&)>& Match) const {
        return EvalNode(FRoot, Match);
    }

  private:
    enum TKind { tkWord, tkAnd, tkOr, tkNot, tkOpen, tkClose };
    struct TToken {
        TKind Kind;
        std::string Text;
    };
    struct TNode {
        TKind Kind;  // tkWord, tkAnd, tkOr, tkNot
        std::string Word;
        int A = -1, B = -1;
    };

    void Tokenize(const std::string& s) {
        size_t i = 0;
        while (i < s.size()) {
            char ch = s[i];
            if (std::isspace(static_cast<unsigned char>(ch))) {
                ++i;
            } else if (ch == '(' || ch == ')') {
                FTokens.push_back({ch == '(' ? tkOpen : tkClose, ""});
                ++i;
            } else if (ch == '"') {
                size_t e = s.find('"', i + 1);
                if (e == std::string::npos) throw std::invalid_argument("open quote");
                FTokens.push_back({tkWord, s.substr(i + 1, e - i - 1)});
                i = e + 1;
            } else {
                size_t e = i;
                while (e < s.size() && !std::isspace(static_cast<unsigned char>(s[e])) &&
                       s[e] != '(' && s[e] != ')' && s[e] != '"')
                    ++e;
                std::string w = s.substr(i, e - i), u = Lower(w);
                TKind k = u == "and" ? tkAnd : u == "or" ? tkOr : u == "not" ? tkNot : tkWord;
                FTokens.push_back({k, w});
                i = e;
            }
        }
    }
    bool Peek(TKind K) const { return FPos < FTokens.size() && FTokens[FPos].Kind == K; }
    int Add(TNode N) {
        FNodes.push_back(std::move(N));
        return int(FNodes.size()) - 1;
    }
    int ParseOr() {
        int a = ParseAnd();
        while (Peek(tkOr)) {
            ++FPos;
            int b = ParseAnd();
            a = Add({tkOr, "", a, b});
        }
        return a;
    }
    int ParseAnd() {
        int a = ParseNot();
        for (;;) {
            if (Peek(tkAnd))
                ++FPos;
            else if (!(Peek(tkWord) || Peek(tkNot) || Peek(tkOpen)))
                break;
            int b = ParseNot();
            a = Add({tkAnd, "", a, b});
        }
        return a;
    }
    int ParseNot() {
        if (Peek(tkNot)) {
            ++FPos;
            return Add({tkNot, "", ParseNot(), -1});
        }
        if (Peek(tkOpen)) {
            ++FPos;
            int a = ParseOr();
            if (!Peek(tkClose)) throw std::invalid_argument("missing )");
            ++FPos;
            return a;
        }
        if (Peek(tkWord)) return Add({tkWord, FTokens[FPos++].Text});
        throw std::invalid_argument("term expected");
    }
    bool EvalNode(int I, const std::function<bool(const std::string&)>& Match) const {
        const TNode& n = FNodes[size_t(I)];
        switch (n.Kind) {
            case tkWord:
                return Match(n.Word);
            case tkNot:
                return !EvalNode(n.A, Match);
            case tkAnd:
                return EvalNode(n.A, Match) && EvalNode(n.B, Match);
            default:
                return EvalNode(n.A, Match) || EvalNode(n.B, Match);
        }
    }

    std::vector<TToken> FTokens;
    std::vector<TNode> FNodes;
    size_t FPos = 0;
    int FRoot = -1;
};

bool Combine(bool Builtin, bool Found, TLogicOp Op) {
    switch (Op) {
        case loAnd:
            return Builtin && Found;
        case loOr:
            return Builtin || Found;
        case loXor:
            return Builtin != Found;
        case loAndNot:
            return Builtin && !Found;
        case loOrNot:
            return Builtin || !Found;
    }
    return Builtin;
}

}  // namespace

int TReportListView::FilterAndSort(const std::string& FilterExp,
                                   const std::vector<int>& FilterColumns, bool IgnoreCase,
                                   TFilterMode FilterMode, int SortColumn, bool Ascending) {
    // Everything that can fail is prepared before the first row changes.
    std::vector<int> cols;
    for (int c : FilterColumns)
        if (c >= 1 && c <= NrOfColumns()) cols.push_back(c);
    if (FilterColumns.empty())
        for (int c = 1; c <= NrOfColumns(); ++c) cols.push_back(c);
    std::regex re;
    std::unique_ptr<TBoolFilter> boolean;
    std::string needle = IgnoreCase ? Lower(FilterExp) : FilterExp;
    if (FilterMode == fmGrep) {
        try {
            auto flags = std::regex::ECMAScript;
            if (IgnoreCase) flags |= std::regex::icase;
            re = std::regex(FilterExp, flags);
        } catch (const std::regex_error&) {
            RaiseKovoError<EKovoRepListError>(this,
                                              "invalid regular expression \"" + FilterExp + "\"");
        }
    } else if (FilterMode == fmBoolean) {
        try {
            boolean = std::make_unique<TBoolFilter>(IgnoreCase ? Lower(FilterExp) : FilterExp);
        } catch (const std::invalid_argument&) {
            RaiseKovoError<EKovoRepListError>(this,
                                              "invalid filter expression \"" + FilterExp + "\"");
        }
    }
    auto cellText = [&](int c, int r) {
        std::string t = FRLData->GetElem(c, r);
        return IgnoreCase ? Lower(t) : t;
    };
    auto rowHas = [&](int r, const std::string& word) {
        for (int c : cols)
            if (cellText(c, r).find(word) != std::string::npos) return true;
        return false;
    };
    int count = 0;
    HideEditor();
    PaintBatch([&] {
        TStringArray* s = FRLData->Strings;
        for (int r = 1; r <= NrOfRows(); ++r) {
            bool hit = false;
            if (FilterMode == fmGrep) {
                for (int c : cols)
                    if (std::regex_search(FRLData->GetElem(c, r), re)) {
                        hit = true;
                        break;
                    }
            } else if (FilterMode == fmBoolean) {
                hit = boolean->Eval([&](const std::string& w) { return rowHas(r, w); });
            } else {
                hit = rowHas(r, needle);
            }
            if (OnBeforeFilter) {
                bool found = true;
                TLogicOp op = loAnd;
                OnBeforeFilter(this, r, found, op);
                hit = Combine(hit, found, op);
            }
            uint8_t a = s->GetRowAttrib(r);
            s->SetRowAttrib(r, hit ? uint8_t(a | AttrSelected) : uint8_t(a & ~AttrSelected));
            count += hit;
        }
        if (SortColumn >= 1) FRLData->Sort(SortColumn, SecondarySortColumn(), Ascending);
    });
    ChangedSelection();
    return count;
}

}  // namespace kovo
