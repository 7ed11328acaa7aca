// questions
