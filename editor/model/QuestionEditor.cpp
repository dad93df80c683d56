#include "QuestionEditor.h"
